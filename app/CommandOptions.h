#pragma once
// The run state of one program run.
#include <cstdint>
#include <string>

enum class TOutputType { Original, Smart, Position };
enum class TPageSet { All, Odd, Even };

struct CommandOptions {
  std::u16string SourceFile;  // absolute
  std::u16string OutputFile;
  std::u16string Password;
  std::u16string BeginText, EndText, PageSetText;  // trimmed option values
  std::u16string BeginArg, EndArg, PageSetArg;     // the arguments as typed, for messages
  std::u16string Header, Footer;
  TOutputType OutputType = TOutputType::Original;
  bool ToConsole = false;
  int32_t BeginPage = 1;
  int32_t EndPage = 0;
  int32_t PageTotal = 0;
  TPageSet PageSet = TPageSet::All;
};
