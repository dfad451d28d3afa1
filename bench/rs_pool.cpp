// Writes a generated pool (every component filled) as the renderer cache file
// and imports it back the way a run's whole read of its cache does, at the
// requested size and at twice that size:
//   bench_rs_pool [renderers=200] [versions=10] [parameters=40] [repeats=3]
//   bench_rs_pool --write FILE [renderers] [versions] [parameters]
//   bench_rs_pool --import FILE [repeats=1]   (imports FILE only, for a profiler)
// Times are CPU seconds of the process doing the work.
// Each phase runs in a child process of its own, so that the peak memory
// reported for the import is that of a process which only read the cache
// file, parsed it and imported the pool. Times are the best of the repeats.
// The groups of the pool load while the file is parsed, so the parse time
// holds most of the import; the import time is what is left after the parse.
#include "app/KfJsCore.h"
#include "rs/DataXMLSerializer.h"
#include "platform/FileIO.h"
#include "platform/ReadOnlyFile.h"
#include "rs/RSDataCommand.h"
#include "rs/RSDataImport.h"
#include "rs/RSPool.h"
#include "rs/RSSamplePool.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// CPU seconds of this process: on a machine shared with other work they
// vary far less than wall-clock seconds.
double Now() {
  struct timespec ts;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

long CurrentRssKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

// What a child reports back through its pipe.
struct Report {
  double seconds[4] = {0, 0, 0, 0};
  double bytes = 0;
  long baseKb = 0;
  int ok = 0;
};

// Runs `work` in a child process; returns its report and its peak RSS.
template <typename Work>
Report InChild(Work work, long* peakKb) {
  int fds[2];
  if (pipe(fds) != 0) std::exit(2);
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    Report report;
    work(&report);
    if (write(fds[1], &report, sizeof(report)) != static_cast<ssize_t>(sizeof(report))) _exit(3);
    _exit(0);
  }
  close(fds[1]);
  Report report;
  if (read(fds[0], &report, sizeof(report)) != static_cast<ssize_t>(sizeof(report))) report.ok = 0;
  close(fds[0]);
  int status = 0;
  struct rusage usage;
  wait4(pid, &status, 0, &usage);
  *peakKb = usage.ru_maxrss;
  return report;
}

// A run refuses a cache file over 64 MiB and a tree over its budget (a
// download cannot bring more); the pools measured here are larger on purpose,
// so they are read the way a run reads its cache, with room for their size.
constexpr size_t kBenchFileBytes = size_t{1} << 30;

// The run's whole read of its cache file, up to the pool's import.
bool ReadPool(const wxString& file, CRSDataImport* import) {
  CReadOnlyFile cache;
  return cache.Open(file) && import->ReadFile(cache, file, kBenchFileBytes, kBenchFileBytes * 4);
}

struct Result {
  double write = 0, parse = 1e9, load = 1e9, free = 1e9, mb = 0;
  long peakKb = 0, baseKb = 0;
  bool identical = false;
};

Result Run(const RSSampleSize& size, int repeats, const wxString& file) {
  Result result;
  long peak = 0;
  const Report written = InChild(
      [&](Report* r) {
        CKfJsCore core;
        CRSPool pool;
        pool.Init(wxT("/nonexistent"));
        FillSamplePool(pool, size, 7);
        double best = 1e9;
        std::string text;
        for (int i = 0; i < repeats; ++i) {
          const double t0 = Now();
          CDataNode root;
          SavePoolDocument(pool, root);
          text = CDataXMLSerializer(&root).ToUTF8();
          best = std::min(best, Now() - t0);
        }
        r->seconds[0] = best;
        r->bytes = static_cast<double>(text.size());
        r->ok = CFileIO::WriteAtomically(file, text);
      },
      &peak);
  if (!written.ok) std::exit(1);
  result.write = written.seconds[0];
  result.mb = written.bytes / (1024.0 * 1024.0);

  for (int i = 0; i <= repeats; ++i) {
    const bool check = i == 0;
    const Report loaded = InChild(
        [&](Report* r) {
          CKfJsCore core;
          auto* pool = new CRSPool();
          pool->Init(wxT("/nonexistent"));
          r->baseKb = CurrentRssKb();
          const double t0 = Now();
          auto* import = new CRSDataImport_JS();
          if (!import->Bind(pool) || !ReadPool(file, import)) return;
          const double t1 = Now();
          if (import->GetDocumentKind() != CRSDataCommand::kPool || !import->Import()) return;
          const double t2 = Now();
          bool same = true;
          if (check) {
            // Checked in a run of its own: the second text would raise the peak.
            std::string text;
            CDataNode again;
            SavePoolDocument(*pool, again);
            same = CFileIO::ReadBytes(file, &text, kBenchFileBytes) &&
                   CDataXMLSerializer(&again).ToUTF8() == text;
          }
          const double t3 = Now();
          delete import;
          delete pool;
          const double t4 = Now();
          r->seconds[0] = t1 - t0;
          r->seconds[1] = t2 - t1;
          r->seconds[2] = t4 - t3;
          r->ok = same ? 1 : 2;
        },
        &peak);
    if (!loaded.ok) std::exit(1);
    if (check) {
      result.identical = loaded.ok == 1;
      continue;
    }
    result.parse = std::min(result.parse, loaded.seconds[0]);
    result.load = std::min(result.load, loaded.seconds[1]);
    result.free = std::min(result.free, loaded.seconds[2]);
    result.peakKb = peak;
    result.baseKb = loaded.baseKb;
  }
  return result;
}

void Print(const RSSampleSize& size, const Result& r) {
  std::printf("pool of %d renderers x %d versions x %d parameters (every component filled)\n",
              size.renderers, size.versionsPerRenderer, size.parametersPerObject);
  std::printf("  cache file                       %8.1f MB\n", r.mb);
  std::printf("  pool -> tree -> XML text         %8.3f s\n", r.write);
  std::printf("  cache file -> tree (read, parse) %8.3f s\n", r.parse);
  std::printf("  tree -> pool (import)            %8.3f s\n", r.load);
  std::printf("  cache file -> pool (import)      %8.3f s  (%.0f MB/s)\n", r.parse + r.load,
              r.mb / (r.parse + r.load));
  std::printf("  freeing tree and pool            %8.3f s\n", r.free);
  std::printf("  peak memory of the import        %8.0f MB  (%.0f MB before it)\n",
              r.peakKb / 1024.0, r.baseKb / 1024.0);
  std::printf("  saved again identical            %8s\n", r.identical ? "yes" : "NO");
}

}  // namespace

// Imports `file` in this process `repeats` times and prints the best time.
int ImportOnly(const wxString& file, int repeats) {
  CKfJsCore core;
  double best = 1e9;
  for (int i = 0; i < repeats; ++i) {
    CRSPool pool;
    pool.Init(wxT("/nonexistent"));
    const double t0 = Now();
    CRSDataImport_JS import;
    if (!import.Bind(&pool) || !ReadPool(file, &import) || !import.Import()) return 1;
    best = std::min(best, Now() - t0);
  }
  std::printf("cache file -> pool (import)      %8.3f s\n", best);
  return 0;
}

int main(int argc, char** argv) {
  if (argc > 2 && std::string(argv[1]) == "--write") {
    RSSampleSize size;
    size.renderers = argc > 3 ? std::atoi(argv[3]) : 200;
    size.versionsPerRenderer = argc > 4 ? std::atoi(argv[4]) : 10;
    size.parametersPerObject = argc > 5 ? std::atoi(argv[5]) : 40;
    size.renderersPerGroup = 10;
    CKfJsCore core;
    CRSPool pool;
    pool.Init(wxT("/nonexistent"));
    FillSamplePool(pool, size, 7);
    CDataNode root;
    SavePoolDocument(pool, root);
    return CFileIO::WriteAtomically(wxString::FromUTF8(argv[2]), CDataXMLSerializer(&root).ToUTF8())
               ? 0 : 1;
  }
  if (argc > 2 && std::string(argv[1]) == "--import") {
    return ImportOnly(wxString::FromUTF8(argv[2]), argc > 3 ? std::max(1, std::atoi(argv[3])) : 1);
  }
  RSSampleSize size;
  size.renderers = argc > 1 ? std::atoi(argv[1]) : 200;
  size.versionsPerRenderer = argc > 2 ? std::atoi(argv[2]) : 10;
  size.parametersPerObject = argc > 3 ? std::atoi(argv[3]) : 40;
  size.renderersPerGroup = 10;
  const int repeats = std::max(1, argc > 4 ? std::atoi(argv[4]) : 3);

  char dir[] = "/tmp/bench_rs_pool_XXXXXX";
  if (!mkdtemp(dir)) return 2;
  const wxString file = wxString::FromUTF8(dir) + wxT("/Renderers.kren");

  const Result one = Run(size, repeats, file);
  Print(size, one);
  RSSampleSize twice = size;
  twice.renderers *= 2;
  const Result two = Run(twice, repeats, file);
  Print(twice, two);
  std::printf(
      "doubling the pool: write x%.2f, parse x%.2f, import x%.2f, memory above base x%.2f\n",
      two.write / one.write, two.parse / one.parse, two.load / one.load,
      static_cast<double>(two.peakKb - two.baseKb) / static_cast<double>(one.peakKb - one.baseKb));
  unlink(file.utf8_str());
  rmdir(dir);
  return one.identical && two.identical ? 0 : 1;
}
