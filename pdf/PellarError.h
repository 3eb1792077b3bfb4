#pragma once
#include <stdexcept>
#include <string>

// An error raised inside the engine that reaches the caller; its message (UTF-8)
// is what the driver prints.
class EPellarError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Opening or creating a file failed.
class EPellarFileCreateError : public EPellarError {
public:
  EPellarFileCreateError() : EPellarError("Error") {}
};
