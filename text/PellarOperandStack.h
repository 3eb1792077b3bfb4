#pragma once
// The operands of a content run waiting for their operator. Tokens stay views into the
// content. A run that never reaches an operator must not grow without limit, so past
// MaxPendingOperands the oldest operand gives way to the newest.
#include <cstddef>
#include <string_view>
#include <vector>

#include "text/PellarTextLimits.h"

class TPDFOperandStack {
public:
  explicit TPDFOperandStack(size_t capacity = MaxPendingOperands) : Capacity(capacity > 0 ? capacity : 1) {}

  void Push(std::string_view token) {
    if (Count < Items.size()) {
      Items[(Start + Count++) % Items.size()] = token;
    } else if (Items.size() < Capacity) {
      Items.push_back(token);  // Start is 0 until the ring is full
      ++Count;
    } else {
      Items[Start] = token;
      Start = (Start + 1) % Items.size();
    }
  }
  // The top operand removed; empty when there is none.
  std::string_view Pop() {
    if (Count == 0) return {};
    return Items[(Start + --Count) % Items.size()];
  }
  size_t Size() const { return Count; }
  // The i-th operand counted from the oldest of the last n, for 0 <= i < n <= Size().
  std::string_view FromTop(size_t n, size_t i) const { return Items[(Start + Count - n + i) % Items.size()]; }

private:
  size_t Capacity;
  std::vector<std::string_view> Items;
  size_t Start = 0;  // the oldest operand, once the ring is full
  size_t Count = 0;
};
