// Wall time of one complete log-on and log-off of the user commander against
// the farm simulator on loopback, with the renderer cache cold (removed before
// every log-on) and warm. Starts the simulator itself:
//   KF_SOURCE_DIR=. build/bench/bench_logon_commander
#include <benchmark/benchmark.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/filename.h>
#include <wx/init.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "app/KfJsCore.h"
#include "net/NwUserCommander.h"
#include "rs/RSDataManager_JS.h"
#include "rs/RSPool.h"
#include "../tests/support/LoopbackPort.h"

namespace {

// The simulator as a child process for the life of the program.
struct Simulator {
  pid_t pid = -1;
  int port = 0;
  Simulator() {
    const char* env = std::getenv("KF_SOURCE_DIR");
    const std::string source = env ? env : ".";
    const std::string script = source + "/tools/farmsim/farmsim.py";
    const std::string farm = source + "/tools/farmsim/demo/farm.json";
    port = kftest::FreeLoopbackPort();
    const std::string portText = std::to_string(port);
    pid = fork();
    if (pid == 0) {
      execl("/usr/bin/python3", "python3", script.c_str(), "--farm", farm.c_str(), "--port",
            portText.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int i = 0; i < 200 && !kftest::LoopbackListens(port); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  ~Simulator() {
    if (pid > 0) {
      kill(pid, SIGTERM);
      waitpid(pid, nullptr, 0);
    }
  }
};

void LogOnAndOff(benchmark::State& state, bool warm) {
  static Simulator sim;
  wxInitializer init;
  CKfJsCore core;
  core.SetConsoleSink([](const wxString&) {});
  CKfJsCore::AddMessageClasses();
  const wxString dir = wxFileName::CreateTempFileName(wxT("kfbench"));
  wxRemoveFile(dir);
  wxFileName::Mkdir(dir, 0777, wxPATH_MKDIR_FULL);
  const wxString cache = dir + wxT("/Renderers.kren");
  CNwUserCommander::LogonSettings settings;
  settings.serverAddress = wxT("127.0.0.1");
  settings.serverPort = sim.port;
  settings.userName = wxT("anna");
  settings.password = wxT("anna123");

  bool first = true;
  for (auto _ : state) {
    if (!warm || first) {
      state.PauseTiming();
      if (wxFileName::FileExists(cache)) wxRemoveFile(cache);
      state.ResumeTiming();
    }
    CRSPool pool;
    pool.Init(dir);
    if (!pool.LoadIndex()) pool.UpdateIndex = -1;
    CRSDataManager_JS manager;
    CNwUserCommander commander;
    commander.SetSettingsSource([&] { return settings; });
    if (!commander.Init() || !manager.Init(&pool) || !manager.Bind(&commander)) {
      state.SkipWithError("cannot initialise");
      break;
    }
    commander.GetJobSubmitter().SetDownloader([&] { return manager.Download(); });
    if (!commander.Logon(true)) {
      state.SkipWithError("log-on failed (is the simulator there?)");
      break;
    }
    commander.Logoff();
    manager.Bind(nullptr);
    if (first && warm) {
      first = false;
    }
  }
  wxFileName::Rmdir(dir, wxPATH_RMDIR_RECURSIVE);
}

void BM_LogonColdCache(benchmark::State& state) { LogOnAndOff(state, false); }
void BM_LogonWarmCache(benchmark::State& state) { LogOnAndOff(state, true); }

BENCHMARK(BM_LogonColdCache)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();
BENCHMARK(BM_LogonWarmCache)->Unit(benchmark::kMillisecond)->Iterations(50)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
