#include "ScriptRuntime.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace {

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

}  // namespace

ScriptRuntime& ScriptRuntime::Get() {
  static ScriptRuntime runtime;
  return runtime;
}

ScriptRuntime::ScriptRuntime() {
  char pattern[] = "/tmp/kf-script-XXXXXX";
  const std::string dir = mkdtemp(pattern);
  mkdir((dir + "/Python").c_str(), 0777);
  mkdir((dir + "/Python/Scripts").c_str(), 0777);
  WriteFile(dir + "/Python/KfInit.py", "import Kilnforge\n");
  WriteFile(dir + "/Python/Scripts/kfhelper.py", "def answer():\n    return 42\n");
  programDir = wxString::FromUTF8(dir.c_str());

  CPythonInterpreter::Host host;
  host.console = &console;
  host.programDir = programDir;
  host.tempDir = programDir + wxT("/Temp");
  interpreter.SetHost(host);
  interpreter.SetPythonHome(programDir + wxT("/Python"));
  started = interpreter.Initialize();
}

ScriptRuntime::~ScriptRuntime() { std::filesystem::remove_all(programDir.utf8_string()); }

wxString ScriptRuntime::Run(const std::string& script) {
  console.text.clear();
  if (!interpreter.ExecuteUtf8(script)) return wxT("<failed>");
  return console.text;
}
