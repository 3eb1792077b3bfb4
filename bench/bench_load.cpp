// Loading and page walking of a large document: a 3500-page file made by qpdf from the
// bundled sample (once with a classic cross-reference table, once with object streams and a
// cross-reference stream), loaded through TPellar::LoadFile, then every page selected with
// its width and gathered content. Each variant runs in a child process so that its peak
// memory is its own.
//
// Usage: bench_load [sample.pdf]   (default examples/sample.pdf, run from the source tree)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/Pellar.h"
#include "engine/PellarPageTree.h"
#include "pdf/PellarConvert.h"
#include "pdf/PellarDocument.h"

namespace {

constexpr int SamplePages = 2;
constexpr int WantedPages = 3500;
constexpr int Rounds = 3;

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

struct TWalk {
  double Seconds = 0;
  int Pages = 0;
  size_t ContentBytes = 0;
};

// One load and walk; Pages is 0 when the file did not load.
TWalk LoadAndWalk(const std::string& path) {
  TWalk walk;
  const auto start = std::chrono::steady_clock::now();
  TPellar engine;
  if (engine.LoadFile(UTF8ToUTF16(path), u"") != 1) return walk;
  TPDFPageTree& tree = engine.CurrentDocument()->PageTree();
  const int32_t count = engine.PageCount();
  double widths = 0;
  for (int32_t page = 1; page <= count; ++page) {
    if (engine.SelectPage(page) != 1) return walk;
    widths += engine.PageWidth();
    walk.ContentBytes += tree.PageContent().size();
  }
  walk.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  walk.Pages = widths > 0 ? count : 0;
  return walk;
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
    std::printf("%-14s %9.3f s  %5d pages  %10zu content bytes", label.c_str(), best.Seconds, best.Pages,
                best.ContentBytes);
    std::fflush(stdout);
    _exit(0);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (ok)
    std::printf("  file %8.2f MB  peak %8.1f MB\n", static_cast<double>(std::filesystem::file_size(path)) / 1048576.0,
                static_cast<double>(usage.ru_maxrss) / 1024.0);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string sample = argc > 1 ? argv[1] : "examples/sample.pdf";
  if (!std::filesystem::exists(sample)) {
    std::printf("bench_load: %s not found (run from the source tree or name the sample)\n", sample.c_str());
    return 1;
  }
  char dirTemplate[] = "/tmp/vorbix-bench-XXXXXX";
  if (!mkdtemp(dirTemplate)) return 1;
  const std::string dir = dirTemplate;
  const std::string classic = dir + "/pages.pdf", objstm = dir + "/pages-objstm.pdf";

  std::vector<std::string> merge = {"qpdf", "--empty", "--pages"};
  for (int i = 0; i < WantedPages / SamplePages; ++i) merge.push_back(sample);
  merge.insert(merge.end(), {"--", classic});
  // qpdf answers 3 for warnings; the files are still written.
  const int made = RunProgram(merge);
  const int madeObjstm = RunProgram({"qpdf", "--object-streams=generate", classic, objstm});
  bool ok = false;
  if ((made == 0 || made == 3) && (madeObjstm == 0 || madeObjstm == 3)) {
    ok = Measure("classic table", classic);
    ok = Measure("object streams", objstm) && ok;
  } else {
    std::printf("bench_load: qpdf could not make the test files\n");
  }
  std::filesystem::remove_all(dir);
  return ok ? 0 : 1;
}
