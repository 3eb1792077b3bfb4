#include "tests/support/Fixtures.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

std::string Fixture(const std::string& name) {
  std::ifstream in(std::string(VORBIX_SOURCE_DIR) + "/tests/fixtures/" + name, std::ios::binary);
  std::string bytes(std::istreambuf_iterator<char>(in), {});
  if (bytes.empty()) ADD_FAILURE() << "fixture tests/fixtures/" << name << " is missing or empty";
  return bytes;
}
