// Font loading of every page of a real book: each page request makes its own font
// collection, which selects every font of the page's resources. Timed without and with the
// document's reuse of finished font records; a third, untimed walk checks that both give
// the same records. Without a file argument the book is made from long manual pages with
// groff -man -Tps and ghostscript's ps2pdf, which embeds CFF subsets of the URW fonts.
//
// Usage: bench_fonts [book.pdf]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/PellarPageTree.h"
#include "fonts/PellarFontCache.h"
#include "fonts/PellarFontCollection.h"
#include "pdf/PellarDocument.h"
#include "pdf/PellarObjects.h"

namespace {

constexpr int Rounds = 3;
const char* const ManualPages[] = {"bash", "git-config", "curl", "gpg", "tmux", "ssh_config", "rsync", "grep"};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Makes the book in dir; answers its path, or empty when the tools failed.
std::string MakeBook(const std::string& dir) {
  std::string pages;
  for (const char* page : ManualPages) {
    const std::string path = "/usr/share/man/man1/" + std::string(page) + ".1.gz";
    if (std::filesystem::exists(path)) pages += " " + path;
  }
  if (pages.empty()) return {};
  const std::string book = dir + "/book.pdf";
  // groff answers 1 for the warnings some pages give; the PostScript is written all the same.
  const std::string command = "zcat" + pages + " | groff -man -Tps 2>/dev/null > " + dir + "/book.ps; ps2pdf " + dir +
                              "/book.ps " + book;
  return std::system(command.c_str()) == 0 ? book : std::string();
}

// The font references of the selected page's resources.
std::vector<TPDFIndRef*> PageFonts(TPDFPageTree& tree) {
  std::vector<TPDFIndRef*> refs;
  TPDFDictionary* resources = tree.PageResources();
  auto* fonts = resources ? As<TPDFDictionary>(resources->Get("Font", true)) : nullptr;
  for (int i = 0; fonts && i < fonts->Count(); ++i)
    if (auto* ref = As<TPDFIndRef>(fonts->Entry(i).Value)) refs.push_back(ref);
  return refs;
}

struct TWalk {
  double Seconds = 0;
  long Selections = 0;
};

// One walk over every page in a newly loaded document, so that both variants parse the
// objects they reach themselves.
TWalk Walk(const std::string& bytes, bool reuse) {
  TWalk walk;
  TPDFDocument document;
  if (document.LoadFromBytes(bytes, u"") != TPDFDocument::LoadOk) std::exit(1);
  TPDFPageTree& tree = document.PageTree();
  const auto start = std::chrono::steady_clock::now();
  for (int32_t page = 1; page <= tree.PageCount(); ++page) {
    tree.SelectPage(page);
    TPDFFontCollection fonts(reuse ? &tree.FontCache() : nullptr);
    fonts.LoadFontPrograms = true;
    for (TPDFIndRef* ref : PageFonts(tree)) {
      fonts.SelectFont(ref);
      ++walk.Selections;
    }
  }
  walk.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return walk;
}

// Every font of every page, taken from the cache and loaded anew, holds the same values.
bool SameRecords(const std::string& bytes) {
  TPDFDocument document;
  if (document.LoadFromBytes(bytes, u"") != TPDFDocument::LoadOk) return false;
  TPDFPageTree& tree = document.PageTree();
  for (int32_t page = 1; page <= tree.PageCount(); ++page) {
    tree.SelectPage(page);
    TPDFFontCollection cached(&tree.FontCache()), fresh;
    cached.LoadFontPrograms = fresh.LoadFontPrograms = true;
    for (TPDFIndRef* ref : PageFonts(tree)) {
      cached.SelectFont(ref);
      fresh.SelectFont(ref);
      if (!SameFontRecord(*cached.Current(), *fresh.Current())) return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string path = argc > 1 ? argv[1] : "";
  std::filesystem::path dir;
  if (path.empty()) {
    char dirTemplate[] = "/tmp/vorbix-bench-fonts-XXXXXX";
    if (!mkdtemp(dirTemplate)) return 1;
    dir = dirTemplate;
    path = MakeBook(dir);
    if (path.empty()) {
      std::printf("bench_fonts: groff and ps2pdf could not make the book (name a PDF instead)\n");
      std::filesystem::remove_all(dir);
      return 1;
    }
  }
  const std::string bytes = ReadFile(path);
  TWalk plain, reused;
  for (int round = 0; round < Rounds; ++round) {
    TWalk a = Walk(bytes, false), b = Walk(bytes, true);
    if (round == 0 || a.Seconds < plain.Seconds) plain = a;
    if (round == 0 || b.Seconds < reused.Seconds) reused = b;
  }
  const bool same = SameRecords(bytes);
  TPDFDocument document;
  document.LoadFromBytes(bytes, u"");
  std::printf("%s: %d pages, %ld font selections\n", path.c_str(), document.PageTree().PageCount(), plain.Selections);
  std::printf("fonts loaded per page      %8.3f s\n", plain.Seconds);
  std::printf("records reused per document %7.3f s  (%.1f times faster)\n", reused.Seconds,
              reused.Seconds > 0 ? plain.Seconds / reused.Seconds : 0.0);
  std::printf("same records: %s\n", same ? "yes" : "NO");
  if (!dir.empty()) std::filesystem::remove_all(dir);
  return same ? 0 : 1;
}
