#pragma once
// Encrypted sample documents for the security tests, made with qpdf from a small plain
// PDF with known texts.
#include <string>
#include <vector>

class TTempDir;

// The plaintext of the sample's string object (trailer /Secret) and of its page
// content stream.
extern const std::string SampleSecretText;
extern const std::string SampleContentText;

// The plain sample: catalog, one page with an uncompressed content stream, and a
// string object named by the trailer's /Secret.
std::string PlainSamplePdf();

// The plain sample encrypted by qpdf with "--encrypt <encryptArguments> --", object
// streams off and streams left uncompressed, so that every value can be read in
// place. Its files are made in the directory. Empty when qpdf fails.
std::string QpdfEncryptedSample(const TTempDir& directory, const std::vector<std::string>& encryptArguments);
