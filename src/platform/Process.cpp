#include "platform/Process.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern char** environ;

namespace {
// How many arguments after the interpreter may name the script it runs: one
// for "#!/bin/sh", two for "#!/usr/bin/env python3" or an interpreter option.
constexpr size_t kScriptArgumentSlots = 2;
}  // namespace

namespace {

// Spawns argv[0] with the process's environment, in a session of its own and
// with /dev/null for its standard streams: an updater that outlives this
// program holds neither the caller's pipes nor its terminal, and what it
// prints never mixes with this program's output. The system reports a
// program that cannot be executed as a spawn error.
pid_t Spawn(const wxArrayString& argv) {
  if (argv.empty()) return 0;
  std::vector<std::string> args;
  args.reserve(argv.size());
  for (const wxString& arg : argv) {
    const wxScopedCharBuffer utf8 = arg.utf8_str();
    args.emplace_back(utf8.data(), utf8.length());
  }
  std::vector<char*> pointers;
  pointers.reserve(args.size() + 1);
  for (std::string& arg : args) pointers.push_back(arg.data());
  pointers.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return 0;
  posix_spawnattr_t attributes;
  if (posix_spawnattr_init(&attributes) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return 0;
  }
  pid_t pid = 0;
  // The run itself ignores SIGPIPE; the updater starts with the default.
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  const short flags = POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF;
  bool ready = posix_spawnattr_setflags(&attributes, flags) == 0 &&
               posix_spawnattr_setsigdefault(&attributes, &defaults) == 0 &&
               posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0) == 0 &&
               posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0) == 0 &&
               posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0) == 0 &&
               // Nothing else is passed on: not the connection to the server.
               posix_spawn_file_actions_addclosefrom_np(&actions, 3) == 0;
  const bool started =
      ready && posix_spawn(&pid, pointers[0], &actions, &attributes, pointers.data(), environ) == 0;
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return started ? pid : 0;
}

// The NUL-separated arguments of /proc/PID/cmdline.
std::vector<std::string> ReadCommandLine(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  const std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::vector<std::string> arguments;
  size_t start = 0;
  while (start < all.size()) {
    size_t end = all.find('\0', start);
    if (end == std::string::npos) end = all.size();
    arguments.push_back(all.substr(start, end - start));
    start = end + 1;
  }
  return arguments;
}

}  // namespace

CProcess& CProcess::System() {
  static CProcess system;
  return system;
}

bool CProcess::RunAndWait(const wxArrayString& argv) {
  const pid_t pid = Spawn(argv);
  if (pid <= 0) return false;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) break;
  }
  return true;
}

long CProcess::Start(const wxArrayString& argv) { return static_cast<long>(Spawn(argv)); }

long CProcess::GetOwnId() const { return static_cast<long>(getpid()); }

wxString CProcess::GetOwnExecutable() const {
  std::vector<char> buffer(4096);
  const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (length <= 0 || static_cast<size_t>(length) >= buffer.size()) return wxString();
  return wxString::FromUTF8(buffer.data(), static_cast<size_t>(length));
}

wxArrayString CProcess::GetOwnArguments() const {
  wxArrayString arguments;
  const std::vector<std::string> all = ReadCommandLine("/proc/self/cmdline");
  for (size_t i = 1; i < all.size(); ++i)
    arguments.Add(wxString::FromUTF8(all[i].data(), all[i].size()));
  return arguments;
}

wxArrayString CProcess::GetProgramPaths(long pid) const {
  wxArrayString paths;
  if (pid <= 0 || pid != static_cast<long>(static_cast<pid_t>(pid))) return paths;
  const std::string proc = "/proc/" + std::to_string(pid);
  std::vector<char> buffer(4096);
  const ssize_t length = readlink((proc + "/exe").c_str(), buffer.data(), buffer.size());
  if (length > 0 && static_cast<size_t>(length) < buffer.size())
    paths.Add(wxString::FromUTF8(buffer.data(), static_cast<size_t>(length)));
  // A script runs as its interpreter with the script's path as the first
  // argument after the interpreter's own name (and options).
  const std::vector<std::string> arguments = ReadCommandLine(proc + "/cmdline");
  for (size_t i = 1; i < arguments.size() && i <= kScriptArgumentSlots; ++i)
    paths.Add(wxString::FromUTF8(arguments[i].data(), arguments[i].size()));
  return paths;
}

bool CProcess::IsRunning(long pid) const {
  // 0 and negative IDs address process groups, not one process.
  if (pid <= 0 || pid != static_cast<long>(static_cast<pid_t>(pid))) return false;
  return kill(static_cast<pid_t>(pid), 0) == 0;
}
