#include "text/PellarOperandStack.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Runs a script on a stack of the given capacity: a letter is pushed, "-" pops and
// appends what it popped ("_" for nothing), "=" appends the whole stack oldest first.
std::string RunScript(size_t capacity, std::string_view script) {
  static const std::string letters = "abcdefghijklmnopqrstuvwxyz";
  TPDFOperandStack stack(capacity);
  std::string out;
  for (char c : script) {
    if (c == '-') {
      std::string_view top = stack.Pop();
      out += top.empty() ? "_" : std::string(top);
    } else if (c == '=') {
      out += "[";
      for (size_t i = 0; i < stack.Size(); ++i) out += stack.FromTop(stack.Size(), i);
      out += "]";
    } else {
      stack.Push(std::string_view(letters).substr(static_cast<size_t>(c - 'a'), 1));
    }
  }
  return out;
}

}  // namespace

TEST(OperandStack, KeepsTheNewestBeyondItsCapacity) {
  struct Case {
    size_t Capacity;
    const char* Script;
    const char* Expected;
  };
  const Case cases[] = {
      {3, "ab=--", "[ab]ba"},
      {3, "-", "_"},
      {3, "abcde=---", "[cde]edc"},
      {3, "abcde---fg=", "edc[fg]"},        // the ring empties and refills
      {3, "abcd-ef=-", "d[cef]f"},             // a push after a pop fills the gap first
      {1, "abc=", "[c]"},
  };
  for (const Case& c : cases) EXPECT_EQ(RunScript(c.Capacity, c.Script), c.Expected) << c.Script;
}
