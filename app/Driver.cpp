#include "app/Driver.h"

#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>

#include "app/CommandOptions.h"
#include "app/EntrySpool.h"
#include "app/PageText.h"
#include "engine/Pellar.h"
#include "pdf/PellarConvert.h"
#include "platform/Platform.h"

const char16_t* const UsageText =
    u"USAGE:\r\n"
    u"------\r\n"
    u"Vorbix <Source> [<Output File>] [Options]\r\n"
    u"\r\n"
    u"Parameters:\r\n"
    u"  <Source>         : The PDF file to be extract.\r\n"
    u"  <Output File>    : The output text file.\r\n"
    u"Options:\r\n"
    u"  -W<password>              : Password of the pdf file if application.\r\n"
    u"  -B<BeginPage> and -E<EndPage>: Range of page number.\r\n"
    u"  -P<Extract option>        : Select to extract only odd pages or even pages \r\n"
    u"                              or all pages. Default is All. Options available:\r\n"
    u"                                All, Odd, Even\r\n"
    u"  -H<Header> and -F<Footer> : Some special variants can be put at Header or \r\n"
    u"                              Footer area of every page to display page \r\n"
    u"                              information. Following are the variants:\r\n"
    u"                              &p        Current page number\r\n"
    u"                              &a        All page count\r\n"
    u"                              &f        PDF file name with full path.\r\n"
    u"                                        Such as c:\\pdfs\\my.pdf\r\n"
    u"                              &n        PDF file name. Such as my.pdf\r\n"
    u"                              &d        Extracting date\r\n"
    u" -O<Output type>            : Output type can be used in different situation.\r\n"
    u"                              Includes:\r\n"
    u"                                Original: Follow the inner order of PDF files.\r\n"
    u"                                Smart: Rearrange text based on the position.\r\n"
    u"                                Position: output text with positions. Format:\r\n"
    u"                                           @X=<xpos>,Y=<ypos>@<text>@ENDTEXT@\r\n"
    u"                                           The unit of X,Y is point(1/72 inch)\r\n"
    u" -T                         : Output the text extracted into screen, not file.\r\n"
    u"\r\n"
    u"EXAMPLES:\r\n"
    u"---------                          \r\n"
    u"Vorbix my.pdf\r\n"
    u"Vorbix c:\\pdfs\\my.pdf c:\\pdfs\\out.txt -W\"M#ngo5ky\" -B4 -E20 -Peven\r\n"
    u"Vorbix \"c:\\pdfs\\my.pdf\" -H\" Annual report\" -F\" =Page&p=\"\r\n"
    u"Vorbix c:\\pdfs\\my.pdf -Oposition\r\n"
    u"\r\n"
    u"Version 1.4.1\r\n";

namespace {

enum ExitCode : int {
  ExitOk = 0,
  ExitError = 1,
  ExitUsage = 2,
  ExitSourceMissing = 3,
  ExitNotLoaded = 4,
  ExitBadOutput = 5
};

// The run ends with this code; its message, when it has one, is already written.
struct TExit {
  int Code;
};

// One write of the text in the narrow code page. Output nobody receives is a failed run:
// exit code 1, and quietly when the reader has gone, as no message could reach it.
void Write(const std::u16string& text) {
  switch (Platform::ConsoleWrite(Platform::ToNarrow(text))) {
    case Platform::TConsoleResult::Written:
      return;
    case Platform::TConsoleResult::ReaderGone:
      throw TExit{ExitError};
    case Platform::TConsoleResult::Failed:
      throw std::runtime_error("Stream write error");
  }
}
void WriteLine(const std::u16string& text) { Write(text + u"\r\n"); }

// The message of a run that ends anyway: written when the console still takes it, as its
// exit code already reports the failure.
void Report(const std::u16string& text) { (void)Platform::ConsoleWrite(Platform::ToNarrow(text)); }
void ReportLine(const std::u16string& text) { Report(text + u"\r\n"); }

std::u16string Decimal(int64_t n) { return AsciiToWide(std::to_string(n)); }

[[noreturn]] void Fail(int code, const std::u16string& message) {
  ReportLine(message);
  throw TExit{code};
}

std::u16string FileNameWithoutExt(const std::u16string& path) {
  std::u16string name = ExtractFileName(path);
  size_t dot = name.rfind(u'.');
  return dot == std::u16string::npos ? name : name.substr(0, dot);
}

class TDriver {
public:
  explicit TDriver(const std::vector<std::u16string>& args) : Args(args) {}
  int Run();

private:
  void ParseOptions(size_t first);
  void ParseOption(const std::u16string& arg);
  bool IsValidOutputFile() const;
  void ParsePageNumber(const std::u16string& text, int32_t& page, const std::u16string& message);
  void CheckPageSet() const;
  void ExtractPages();

  const std::vector<std::u16string>& Args;
  CommandOptions Options;
  std::unique_ptr<TPellar> Engine;
};

int TDriver::Run() {
  if (Args.empty() || Args[0].find(u'?') != std::u16string::npos) {
    Report(UsageText);
    return ExitUsage;
  }
  Options.SourceFile = Platform::AbsolutePath(Args[0]);
  if (!Platform::FileExists(Options.SourceFile)) Fail(ExitSourceMissing, u"File not found: " + Options.SourceFile);

  Options.OutputFile = ExtractFilePath(Options.SourceFile) + FileNameWithoutExt(Options.SourceFile) + u".txt";
  size_t firstOption = 1;
  if (Args.size() > 1 && Args[1][0] != u'-') {
    Options.OutputFile = Args[1];
    firstOption = 2;
  }
  Options.OutputType = TOutputType::Original;
  Engine = std::make_unique<TPellar>();
  ParseOptions(firstOption);

  if (Engine->LoadFile(Options.SourceFile, Options.Password) != 1)
    Fail(ExitNotLoaded, u"Can not load file: " + Options.SourceFile + u". Error code is: " + Decimal(Engine->LastError()));
  const int32_t pageCount = Engine->PageCount();
  Options.BeginPage = 1;
  Options.EndPage = pageCount;

  if (!IsValidOutputFile()) Fail(ExitBadOutput, u"Invalid output file: \"" + Options.OutputFile + u"\".");
  ParsePageNumber(Options.BeginText, Options.BeginPage,
                  u"Invalid parameter: " + Options.BeginArg +
                      u"\r\n-B usage: -B<BeginPage>: The begin page. An example -B2.");
  ParsePageNumber(Options.EndText, Options.EndPage,
                  u"Invalid parameter: " + Options.EndArg + u"\r\n-E usage: -E<EndPage> The end page. An example -E24.");
  CheckPageSet();
  if (Options.BeginPage > pageCount)
    Fail(ExitUsage, u"The begin page " + Decimal(Options.BeginPage) + u" must be within page range 1 to " +
                        Decimal(pageCount) + u".");
  if (Options.EndPage > pageCount)
    Fail(ExitUsage, u"The end page " + Decimal(Options.EndPage) + u" must be within page range 1 to " +
                        Decimal(pageCount) + u".");
  if (Options.EndPage < Options.BeginPage) Fail(ExitUsage, u"The end page must be smaller then the begin page");

  ExtractPages();
  return ExitOk;
}

void TDriver::ParseOptions(size_t first) {
  Options.ToConsole = false;
  for (size_t i = first; i < Args.size(); ++i) ParseOption(Args[i]);
}

void TDriver::ParseOption(const std::u16string& arg) {
  const std::u16string upper = UpperAscii(arg);
  if (arg.size() >= 2) {
    const std::u16string prefix = upper.substr(0, 2);
    const std::u16string value = TrimBlanks(arg.substr(2));
    if (prefix == u"-W") {
      Options.Password = value;
      return;
    }
    if (prefix == u"-B") {
      Options.BeginText = value;
      Options.BeginArg = arg;
      return;
    }
    if (prefix == u"-E") {
      Options.EndText = value;
      Options.EndArg = arg;
      return;
    }
    if (prefix == u"-P") {
      Options.PageSetText = value;
      Options.PageSetArg = arg;
      return;
    }
    if (prefix == u"-H") {
      Options.Header = value;
      return;
    }
    if (prefix == u"-F") {
      Options.Footer = value;
      return;
    }
    if (prefix == u"-O") {
      const std::u16string type = TrimBlanks(upper.substr(2));
      if (type == u"SMART") {
        Options.OutputType = TOutputType::Smart;
      } else if (type == u"ORIGINAL") {
        Options.OutputType = TOutputType::Original;
      } else if (type == u"POSITION") {
        Options.OutputType = TOutputType::Position;
      } else {
        Fail(ExitUsage, u"Invalid parameters: " + arg + u".");
      }
      return;
    }
  }
  if (upper == u"-T") {
    Options.ToConsole = true;
    return;
  }
  Fail(ExitUsage, u"Invalid parameters: " + arg + u".");
}

bool TDriver::IsValidOutputFile() const {
  // Text written over the document it comes from would destroy the document.
  if (Platform::SameFile(Options.OutputFile, Options.SourceFile)) return false;
  if (Platform::FileExists(Options.OutputFile)) return true;
  Platform::TFile file;
  return file.Create(Options.OutputFile);
}

void TDriver::ParsePageNumber(const std::u16string& text, int32_t& page, const std::u16string& message) {
  if (text.empty()) return;
  std::optional<int32_t> value = ParseInt32(text);
  if (!value) Fail(ExitUsage, message);
  page = *value;
}

void TDriver::CheckPageSet() const {
  const std::u16string set = LowerAscii(Options.PageSetText);
  if (set.empty() || set == u"even" || set == u"odd" || set == u"all") return;
  Fail(ExitUsage, u"Invalid parameter: " + Options.PageSetArg +
                      u"\r\n-P usage: -P<Extract option> Select to extract only odd pages, even pages or all pages. "
                      u"Default is All.\r\nAvailable values: all,even,odd");
}

void TDriver::ExtractPages() {
  TPellar::DocumentHandle loaded = Engine->CurrentDocument();
  const int32_t pages = Engine->PageCount();
  if (!Options.ToConsole) WriteLine(u"Current file is: \"" + Options.SourceFile + u"\"\r\nPages: " + Decimal(pages));
  if (Options.BeginPage == 0) Options.BeginPage = 1;
  if (Options.EndPage == 0) Options.EndPage = pages;
  Options.PageTotal = pages;

  if (Options.PageSetText.empty() || Options.PageSetText == u"all") Options.PageSetText = u"both odd and even";
  Options.PageSetText = LowerAscii(Options.PageSetText);
  Options.PageSet = Options.PageSetText == u"odd"    ? TPageSet::Odd
                    : Options.PageSetText == u"even" ? TPageSet::Even
                                                     : TPageSet::All;
  if (!Options.ToConsole)
    WriteLine(u"Extract to \"" + Options.OutputFile + u"\"\r\nExtract " + Options.PageSetText +
              u" pages\r\nPage from " + Decimal(Options.BeginPage) + u" to " + Decimal(Options.EndPage));

  TEntrySpool entries;
  TPageAssembler assembler(Options, *Engine);
  // A 64-bit counter: the range may end at the largest 32-bit page number.
  for (int64_t i = Options.BeginPage; i <= Options.EndPage; ++i) {
    const bool take = Options.PageSet == TPageSet::All || (Options.PageSet == TPageSet::Odd && i % 2 == 1) ||
                      (Options.PageSet == TPageSet::Even && i % 2 == 0);
    if (!take) continue;
    const int32_t page = static_cast<int32_t>(i);
    Engine->SelectPage(page);
    std::u16string entry = assembler.PageEntry(page);
    if (Options.ToConsole) {
      WriteLine(entry);
    } else {
      entries.Add(entry);
      Write(u".");
      Platform::ConsoleFlush();
    }
  }
  if (!Options.ToConsole) {
    WriteLine(u"\r\nExtract complete.");
    entries.SaveToFile(Options.OutputFile);
  }
  Engine->DropDocument(loaded);
}

}  // namespace

int RunDriver(const std::vector<std::u16string>& args) {
  try {
    return TDriver(args).Run();
  } catch (const TExit& exit) {
    return exit.Code;
  } catch (const std::bad_alloc&) {
    ReportLine(u"Out of memory");
  } catch (const std::exception& error) {
    ReportLine(UTF8ToUTF16(error.what()));
  } catch (...) {
    ReportLine(u"Unknown error");
  }
  return ExitError;
}
