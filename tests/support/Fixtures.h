#pragma once
// Files committed under tests/fixtures/; tests/fixtures/README.md says how each was made.
#include <string>

// The bytes of tests/fixtures/<name>; a fixture that cannot be read fails the test.
std::string Fixture(const std::string& name);
