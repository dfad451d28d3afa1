#include "platform/Process.h"

#include <errno.h>
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

// Spawns argv[0] with the process's environment and standard streams. The
// system reports a program that cannot be executed as a spawn error.
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
  // Only the standard streams are passed on: an updater that outlives this
  // program must not hold its connection to the server open.
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return 0;
  pid_t pid = 0;
  const bool started = posix_spawn_file_actions_addclosefrom_np(&actions, 3) == 0 &&
                       posix_spawn(&pid, pointers[0], &actions, nullptr, pointers.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  return started ? pid : 0;
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
  std::ifstream file("/proc/self/cmdline", std::ios::binary);
  const std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  size_t start = 0;
  bool first = true;
  while (start < all.size()) {
    size_t end = all.find('\0', start);
    if (end == std::string::npos) end = all.size();
    if (!first) arguments.Add(wxString::FromUTF8(all.data() + start, end - start));
    first = false;
    start = end + 1;
  }
  return arguments;
}

bool CProcess::IsRunning(long pid) const {
  // 0 and negative IDs address process groups, not one process.
  if (pid <= 0 || pid != static_cast<long>(static_cast<pid_t>(pid))) return false;
  return kill(static_cast<pid_t>(pid), 0) == 0;
}
