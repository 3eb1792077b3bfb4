#include "pdf/PellarObjectScan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// "number generation @offset" of every definition, in file order.
std::vector<std::string> Found(const std::string& file) {
  std::vector<std::string> out;
  const TPDFObjectScan scan(file);
  for (const TPDFObjectDefinition& d : scan.Definitions())
    out.push_back(std::to_string(d.Number) + " " + std::to_string(d.Generation) + " @" + std::to_string(d.Offset));
  return out;
}

TEST(ObjectScan, WhatDefinesAnObject) {
  const std::string stream = "1 0 obj\n<< /Length 30 >>\nstream\n2 0 obj 3 0 obj trailer <<>>\nendstream\nendobj\n";
  struct {
    const char* Name;
    std::string File;
    std::vector<std::string> Expected;
  } cases[] = {
      {"start of the file and of a line", "1 0 obj\n<<>>\nendobj\n12 3 obj[]", {"1 0 @0", "12 3 @20"}},
      {"after a blank, blanks and line ends between the parts", "x 7\r\n0\tobj<<>>", {"7 0 @2"}},
      {"keyword ends at a delimiter or the end", "5 0 obj/Name 6 0 obj(x) 7 0 obj", {"5 0 @0", "6 0 @13", "7 0 @24"}},
      {"endobj and longer words are no keyword", "1 0 endobj 2 0 objx 3 0 object", {}},
      {"a number glued to a token before it", "x1 0 obj <</A 2 0 obj>>", {"2 0 @14"}},
      {"a generation glued to the keyword", "1 0obj", {}},
      {"eleven digits", "12345678901 0 obj", {}},
      {"a number past 32 bits", "2147483648 0 obj 2147483647 0 obj", {"2147483647 0 @17"}},
      {"inside stream data nothing is defined", stream + "4 0 obj", {"1 0 @0", "4 0 @78"}},
      {"a stream without endstream is read through", "1 0 obj<<>>stream\n2 0 obj", {"1 0 @0", "2 0 @18"}},
      {"endstream alone skips nothing", "endstream 2 0 obj", {"2 0 @10"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Found(c.File), c.Expected) << c.Name;
}

TEST(ObjectScan, LastDefinitionWinsAndEndsAtTheNext) {
  const std::string file = "%PDF-1.4\n1 0 obj\n(old)\nendobj\n2 0 obj\n(two)\nendobj\n1 0 obj\n(new)\nendobj\n";
  const TPDFObjectScan scan(file);
  const TPDFObjectDefinition* one = scan.Latest(1);
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(file.substr(static_cast<size_t>(one->Offset), 7), "1 0 obj");
  EXPECT_EQ(one->Offset, static_cast<int32_t>(file.rfind("1 0 obj")));
  EXPECT_EQ(scan.End(*one), static_cast<int32_t>(file.size()));
  const TPDFObjectDefinition* two = scan.Latest(2);
  ASSERT_NE(two, nullptr);
  EXPECT_EQ(scan.End(*two), one->Offset);
  EXPECT_EQ(scan.Latest(3), nullptr);
  EXPECT_EQ(scan.Latest(0), nullptr);
}

TEST(ObjectScan, HeadsAndTrailers) {
  const std::string file =
      "1 0 obj\n<< /Length 1 >>\nstream\nx\nendstream\nendobj\ntrailer\n<< /Size 2 >>\n2 0 obj\n(x)\n";
  const TPDFObjectScan scan(file);
  ASSERT_EQ(scan.Definitions().size(), 2u);
  EXPECT_EQ(scan.Definitions()[0].HeadEnd, static_cast<int32_t>(file.find("stream")));
  EXPECT_EQ(scan.Definitions()[1].HeadEnd, static_cast<int32_t>(file.size()));
  EXPECT_EQ(scan.Trailers(), std::vector<int32_t>{static_cast<int32_t>(file.find("trailer") + 7)});

  // Only the last few trailers are kept, in file order.
  std::string many;
  for (int i = 0; i < 100; ++i) many += "trailer ";
  const TPDFObjectScan manyScan(many);
  ASSERT_EQ(manyScan.Trailers().size(), TPDFObjectScan::MaxTrailers);
  EXPECT_EQ(manyScan.Trailers().back(), static_cast<int32_t>(many.size() - 1));
  EXPECT_EQ(manyScan.Trailers().front(), static_cast<int32_t>(8 * (100 - TPDFObjectScan::MaxTrailers) + 7));
}

}  // namespace
