#pragma once
// Sanitizer defaults of every fuzz target (each target includes this header once).
//
// AddressSanitizer keeps freed memory in a quarantine, 256 MB by default, to catch later uses.
// A run of the parser target frees thousands of small objects, each held with its redzones and
// header at several times its size, so that quarantine alone holds about 400 MB: the target
// then peaks at 500 to 700 MB on 4 KB inputs although a run needs a few megabytes. 64 MB is
// still many runs' worth of freed memory.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=64"; }
