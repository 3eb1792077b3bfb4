#include "tests/support/EncryptedPdf.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

const std::string SampleSecretText = "Hello encrypted world: a string longer than one AES block.";
const std::string SampleContentText = "BT /F1 12 Tf 72 712 Td (Stream text of page one) Tj ET\n";

namespace {

std::string ShellQuoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

}  // namespace

bool HasProgram(const std::string& name) {
  return std::system(("command -v " + ShellQuoted(name) + " >/dev/null 2>&1").c_str()) == 0;
}

TScratchDirectory::TScratchDirectory() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vorbix-security-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a scratch directory");
  Path = pattern;
}

TScratchDirectory::~TScratchDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(Path, ignored);
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

int RunProgram(const std::vector<std::string>& arguments) {
  std::string command;
  for (const std::string& argument : arguments) command += ShellQuoted(argument) + " ";
  int status = std::system((command + ">/dev/null 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string PlainSamplePdf() {
  const std::vector<std::string> objects = {
      "<< /Type /Catalog /Pages 2 0 R >>",
      "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 5 0 R >>",
      "(" + SampleSecretText + ")",
      "<< /Length " + std::to_string(SampleContentText.size()) + " >>\nstream\n" + SampleContentText + "\nendstream",
  };
  std::string pdf = "%PDF-1.7\n";
  std::vector<size_t> offsets;
  for (size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
  }
  size_t xref = pdf.size();
  pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
  for (size_t offset : offsets) {
    std::string number = std::to_string(offset);
    pdf += std::string(10 - number.size(), '0') + number + " 00000 n \n";
  }
  pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R /Secret 4 0 R >>\nstartxref\n" +
         std::to_string(xref) + "\n%%EOF\n";
  return pdf;
}

std::string QpdfEncryptedSample(const TScratchDirectory& directory, const std::vector<std::string>& encryptArguments) {
  std::string plain = directory.File("plain.pdf"), encrypted = directory.File("encrypted.pdf");
  WriteFileBytes(plain, PlainSamplePdf());
  std::vector<std::string> command = {"qpdf", "--allow-weak-crypto", "--object-streams=disable",
                                      "--compress-streams=n", "--encrypt"};
  command.insert(command.end(), encryptArguments.begin(), encryptArguments.end());
  command.insert(command.end(), {"--", plain, encrypted});
  if (RunProgram(command) != 0) return {};
  return ReadFileBytes(encrypted);
}
