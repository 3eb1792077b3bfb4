#pragma once
// Encrypted sample documents for the security tests, made with qpdf (and
// Ghostscript) from a small plain PDF with known texts.
#include <string>
#include <vector>

// The plaintext of the sample's string object (trailer /Secret) and of its page
// content stream.
extern const std::string SampleSecretText;
extern const std::string SampleContentText;

bool HasProgram(const std::string& name);

// A fresh directory under the system's temporary directory, removed with its contents.
class TScratchDirectory {
public:
  TScratchDirectory();
  ~TScratchDirectory();
  TScratchDirectory(const TScratchDirectory&) = delete;
  TScratchDirectory& operator=(const TScratchDirectory&) = delete;
  std::string File(const std::string& name) const { return Path + "/" + name; }

private:
  std::string Path;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
// Runs the program with the arguments, output discarded; answers its exit code.
int RunProgram(const std::vector<std::string>& arguments);

// The plain sample: catalog, one page with an uncompressed content stream, and a
// string object named by the trailer's /Secret.
std::string PlainSamplePdf();

// The plain sample encrypted by qpdf with "--encrypt <encryptArguments> --", object
// streams off and streams left uncompressed, so that every value can be read in
// place. Empty when qpdf fails.
std::string QpdfEncryptedSample(const TScratchDirectory& directory, const std::vector<std::string>& encryptArguments);
