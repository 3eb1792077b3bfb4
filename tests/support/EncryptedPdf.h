#pragma once
// The plain sample of the security tests, from which the encrypted files under
// tests/fixtures/security were made, and its known texts.
#include <string>

// The plaintext of the sample's string object (trailer /Secret) and of its page
// content stream.
extern const std::string SampleSecretText;
extern const std::string SampleContentText;

// The plain sample: catalog, one page with an uncompressed content stream, and a
// string object named by the trailer's /Secret.
std::string PlainSamplePdf();

