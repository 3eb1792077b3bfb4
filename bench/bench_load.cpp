// Loading and page walking of a large document: a 3500-page book whose pages each carry their
// own compressed text (once with a classic cross-reference table, once turned by qpdf into
// object streams and a cross-reference stream), loaded through TPellar::LoadFile, then every
// page selected with its width and gathered content. Each variant runs in a child process so
// that its peak memory is its own; the peak is set against the target of 1.5 times the file
// size plus 16 MB.
//
// Usage: bench_load                 makes the books in a temporary directory and measures them
//        bench_load --book FILE     writes the classic book to FILE
//        bench_load --walk FILE     loads FILE and walks its pages once (for /usr/bin/time -f %M)
//        bench_load --load FILE     loads FILE only
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/Pellar.h"
#include "engine/PellarPageTree.h"
#include "pdf/PellarConvert.h"
#include "pdf/PellarDocument.h"

namespace {

constexpr int WantedPages = 3500;
constexpr int PagesPerNode = 100;
constexpr int LinesPerPage = 46;
constexpr int WordsPerLine = 11;
constexpr int Rounds = 3;
constexpr double TargetFactor = 1.5;
constexpr double TargetMegabytes = 16;

int RunProgram(const std::vector<std::string>& args) {
  const pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Deflate(const std::string& bytes) {
  uLongf size = compressBound(static_cast<uLong>(bytes.size()));
  std::string out(size, '\0');
  compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(bytes.data()),
            static_cast<uLong>(bytes.size()), Z_DEFAULT_COMPRESSION);
  out.resize(size);
  return out;
}

// A page of text lines of pseudo-random words, kerned word by word as typesetting programs
// write them, so that no two pages compress alike.
std::string PageText(uint32_t& seed) {
  static const char* const Words[] = {"the",   "of",    "and",    "page",  "river", "stone",  "light", "harbour",
                                      "winter", "quiet", "letter", "north", "garden", "across", "morning",
                                      "window", "silver", "market", "engine", "paper", "candle", "valley"};
  auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  std::string content = "BT /F1 11 Tf\n";
  for (int line = 0; line < LinesPerPage; ++line) {
    content += "1 0 0 1 72 " + std::to_string(740 - 14 * line) + " Tm [";
    for (int word = 0; word < WordsPerLine; ++word) {
      content += '(';
      content += Words[(next() >> 8) % std::size(Words)];
      content += " )";
      content += std::to_string(static_cast<int>(next() >> 16) % 2000 - 1000);
      content += '.';
      content += std::to_string(next() % 10);
    }
    content += "] TJ\n";
  }
  return content + "ET\n";
}

// The book: catalog, a root over nodes of 100 pages each (which share one font through the
// inherited resources), and one Flate content stream per page.
std::string MakeBook() {
  const int nodes = (WantedPages + PagesPerNode - 1) / PagesPerNode;
  const int firstNode = 4, firstPage = firstNode + nodes;
  std::vector<std::string> bodies(static_cast<size_t>(firstPage + 2 * WantedPages));
  auto ref = [](int n) { return std::to_string(n) + " 0 R"; };
  bodies[1] = "<< /Type /Catalog /Pages 2 0 R >>";
  bodies[3] = "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>";
  std::string kids;
  for (int node = 0; node < nodes; ++node) kids += ref(firstNode + node) + " ";
  bodies[2] = "<< /Type /Pages /Count " + std::to_string(WantedPages) + " /Kids [" + kids +
              "] /MediaBox [0 0 612 792] /Resources << /Font << /F1 3 0 R >> >> >>";
  uint32_t seed = 12345;
  for (int node = 0; node < nodes; ++node) {
    std::string nodeKids;
    int count = 0;
    for (int page = node * PagesPerNode; page < WantedPages && count < PagesPerNode; ++page, ++count) {
      const int number = firstPage + 2 * page;
      nodeKids += ref(number) + " ";
      bodies[static_cast<size_t>(number)] =
          "<< /Type /Page /Parent " + ref(firstNode + node) + " /Contents " + ref(number + 1) + " >>";
      const std::string data = Deflate(PageText(seed));
      bodies[static_cast<size_t>(number + 1)] = "<< /Length " + std::to_string(data.size()) +
                                                " /Filter /FlateDecode >>\nstream\n" + data + "\nendstream";
    }
    bodies[static_cast<size_t>(firstNode + node)] = "<< /Type /Pages /Parent 2 0 R /Count " +
                                                    std::to_string(count) + " /Kids [" + nodeKids + "] >>";
  }
  std::string file = "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n";
  std::vector<size_t> offsets(bodies.size(), 0);
  for (size_t n = 1; n < bodies.size(); ++n) {
    offsets[n] = file.size();
    file += std::to_string(n) + " 0 obj\n" + bodies[n] + "\nendobj\n";
  }
  const size_t xref = file.size();
  file += "xref\n0 " + std::to_string(bodies.size()) + "\n0000000000 65535 f \n";
  char entry[32];
  for (size_t n = 1; n < bodies.size(); ++n) {
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offsets[n]);
    file += entry;
  }
  file += "trailer\n<< /Size " + std::to_string(bodies.size()) + " /Root 1 0 R >>\nstartxref\n" +
          std::to_string(xref) + "\n%%EOF\n";
  return file;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

struct TWalk {
  double Seconds = 0;
  int Pages = 0;
  size_t ContentBytes = 0;
};

// One load and, with `walk`, a walk over every page; Pages is 0 when the file did not load.
TWalk LoadAndWalk(const std::string& path, bool walk = true) {
  TWalk result;
  const auto start = std::chrono::steady_clock::now();
  TPellar engine;
  if (engine.LoadFile(UTF8ToUTF16(path), u"") != 1) return result;
  TPDFPageTree& tree = engine.CurrentDocument()->PageTree();
  const int32_t count = engine.PageCount();
  double widths = walk ? 0 : 1;
  for (int32_t page = 1; walk && page <= count; ++page) {
    if (engine.SelectPage(page) != 1) return result;
    widths += engine.PageWidth();
    result.ContentBytes += tree.PageContent().size();
  }
  result.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  result.Pages = widths > 0 ? count : 0;
  return result;
}

// Runs the rounds in a child and prints one line; answers false when the walk failed.
bool Measure(const std::string& label, const std::string& path) {
  std::fflush(stdout);  // the child must not write the parent's buffered lines again
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    TWalk best;
    for (int round = 0; round < Rounds; ++round) {
      TWalk walk = LoadAndWalk(path);
      if (walk.Pages != WantedPages) {
        std::printf("%-14s FAILED: %d pages walked, %d expected\n", label.c_str(), walk.Pages, WantedPages);
        std::fflush(stdout);
        _exit(1);
      }
      if (round == 0 || walk.Seconds < best.Seconds) best = walk;
    }
    std::printf("%-14s %7.3f s  %5d pages  %9zu content bytes", label.c_str(), best.Seconds, best.Pages,
                best.ContentBytes);
    std::fflush(stdout);
    _exit(0);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (ok) {
    const double file = static_cast<double>(std::filesystem::file_size(path)) / 1048576.0;
    std::printf("  file %6.2f MB  peak %6.1f MB  (target %.1f MB)\n", file,
                static_cast<double>(usage.ru_maxrss) / 1024.0, TargetFactor * file + TargetMegabytes);
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3) {
    const std::string mode = argv[1], path = argv[2];
    if (mode == "--book") return WriteFile(path, MakeBook()) ? 0 : 1;
    if (mode == "--walk" || mode == "--load") {
      const TWalk walk = LoadAndWalk(path, mode == "--walk");
      std::printf("%d pages, %zu content bytes\n", walk.Pages, walk.ContentBytes);
      return walk.Pages > 0 ? 0 : 1;
    }
  }
  if (argc != 1) {
    std::printf("usage: bench_load [--book|--walk|--load FILE]\n");
    return 2;
  }
  char dirTemplate[] = "/tmp/vorbix-bench-XXXXXX";
  if (!mkdtemp(dirTemplate)) return 1;
  const std::string dir = dirTemplate;
  const std::string classic = dir + "/book.pdf", objstm = dir + "/book-objstm.pdf";
  bool ok = false;
  // qpdf answers 3 for warnings; the file is still written.
  const int madeObjstm =
      WriteFile(classic, MakeBook()) ? RunProgram({"qpdf", "--object-streams=generate", classic, objstm}) : -1;
  if (madeObjstm == 0 || madeObjstm == 3) {
    ok = Measure("classic table", classic);
    ok = Measure("object streams", objstm) && ok;
  } else {
    std::printf("bench_load: the test books could not be made\n");
  }
  std::filesystem::remove_all(dir);
  return ok ? 0 : 1;
}
