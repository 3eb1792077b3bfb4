// Operands read straight from the token must read as the engine's general number rules read them.
#include "text/PellarContentNumber.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "pdf/PellarConvert.h"

namespace {

void ExpectSameAsGeneralRules(const std::string& token) {
  const std::optional<double> fast = ContentNumber(token);
  ASSERT_EQ(fast.has_value(), IsDecimalText(token)) << token;
  // Bit for bit: the sign of zero matters to later arithmetic only in theory, but the
  // two ways must not differ at all.
  if (fast) {
    const double slow = TextToReal(token);
    ASSERT_EQ(std::memcmp(&*fast, &slow, sizeof slow), 0) << token << " " << *fast << " " << slow;
  }
}

}  // namespace

TEST(PellarContentNumber, EdgesAsTheGeneralRules) {
  for (const char* token : {"", "-", ".", "-.", "-.5", "5.", "-0", "-0.0", "0012", "1.1234567891", "1.2.3", "--1",
                            "1-", "12a", "\x0b" "12", "123456789012345678", "1234567890123456789",
                            "99999999999999999999", "-9223372036854775808", "0.000000001", ".0000000005"})
    ExpectSameAsGeneralRules(token);
}

TEST(PellarContentNumber, SameAsTheGeneralRulesOnRandomTokens) {
  std::mt19937 random(7);
  const char alphabet[] = "0123456789.-0123456789x\x0b ";
  for (int round = 0; round < 200000; ++round) {
    std::string token(random() % 24, '0');
    for (char& c : token) c = random() % 10 < 8 ? alphabet[random() % 10] : alphabet[random() % (sizeof alphabet - 1)];
    ExpectSameAsGeneralRules(token);
  }
}
