// The connection against the farm simulator over a real loopback socket: an
// independent implementation of the server's side, which journals what the
// client sent.
#include "net/ChallengeMsg.h"
#include "net/NetEngine.h"
#include "net/RemoteConnection.h"
#include "platform/Machine.h"

#include <gtest/gtest.h>
#include <wx/filename.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

std::string SourceDir() {
  const char* dir = std::getenv("KF_SOURCE_DIR");
  if (dir && *dir) return dir;
  return std::string(KF_TEST_DATA_DIR) + "/../..";
}

// The simulator in a child process on a free loopback port.
class FarmSimProcess {
 public:
  explicit FarmSimProcess(const std::string& faults = std::string()) {
    char dir[] = "/tmp/kf-netsim-XXXXXX";
    if (!mkdtemp(dir)) return;
    m_dir = dir;
    journal = m_dir + "/journal.jsonl";
    const std::string sim = SourceDir() + "/tools/farmsim/farmsim.py";
    const std::string farm = SourceDir() + "/tools/farmsim/demo/farm.json";
    std::vector<std::string> args = {"/usr/bin/python3", sim, "--farm", farm, "--port", "0",
                                     "--journal", journal};
    if (!faults.empty()) {
      args.push_back("--faults");
      args.push_back(faults);
    }
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    int out[2];
    if (pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) m_pid = 0;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    // "farmsim listening on 127.0.0.1:PORT"
    std::string line;
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
    close(out[0]);
    const size_t colon = line.rfind(':');
    if (line.rfind("farmsim listening on ", 0) == 0 && colon != std::string::npos)
      port = std::atoi(line.c_str() + colon + 1);
  }

  ~FarmSimProcess() {
    if (m_pid > 0) {
      kill(m_pid, SIGTERM);
      int status = 0;
      waitpid(m_pid, &status, 0);
    }
    if (!m_dir.empty()) wxFileName::Rmdir(wxString::FromUTF8(m_dir), wxPATH_RMDIR_RECURSIVE);
  }

  // The journal lines naming message `name`, waiting up to 5 s for `count`.
  std::vector<std::string> Journal(const std::string& name, size_t count = 1) const {
    std::vector<std::string> lines;
    for (int attempt = 0; attempt < 100; ++attempt) {
      lines.clear();
      std::ifstream in(journal);
      for (std::string line; std::getline(in, line);)
        if (line.find("\"msg\": \"" + name + "\"") != std::string::npos) lines.push_back(line);
      if (lines.size() >= count) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return lines;
  }

  int port = 0;
  std::string journal;

 private:
  pid_t m_pid = 0;
  std::string m_dir;
};

class CSimConnection : public CRemoteConnection {
 public:
  explicit CSimConnection(int port) : m_port(port) {}
  ~CSimConnection() override { Disconnect(wxT("Logged off"), true); }

  void GetAddress(wxString& host, int& port) override {
    host = wxT("127.0.0.1");
    port = m_port;
  }
  void OnNotify(int code, const wxString& line, long, long, int, bool&) override {
    notes.emplace_back(code, line);
  }
  std::vector<std::pair<int, wxString>> notes;

 private:
  int m_port;
};

TEST(FarmSimConnectionTest, ConnectsChallengesAndExchangesInformation) {
  FarmSimProcess sim;
  ASSERT_GT(sim.port, 0) << "the farm simulator did not start";
  CNetEngine engine;
  engine.RegisterAll();
  {
    CSimConnection connection(sim.port);
    connection.Init(&engine);
    connection.SetExpectedIdentifier(CChallengeMsg::kRemoteControllerId);
    connection.SetAlias(wxT("rc-%COMPUTERNAME%"));
    ASSERT_TRUE(connection.Connect(true, true));
    ASSERT_TRUE(connection.WaitForState(CRemoteConnection::kStateChallenged | CRemoteConnection::kStatePeerInfo, 10000));
    EXPECT_EQ(connection.GetState().Get(), 0x6u);
    EXPECT_TRUE(connection.IsReady());
    EXPECT_EQ(connection.GetPeerComputerName(), wxT("farmsim-demo"));
    EXPECT_EQ(connection.GetPeerAlias(), wxT("Demo render server"));

    const wxString at = wxString::Format(wxT("Network: [127.0.0.1:%i] "), sim.port);
    const std::vector<std::pair<int, wxString>> expected = {
        {6, at + wxT("Connecting...")},
        {1, at + wxT("Connection established")},
        {4, at + wxT("Challenging remote machine...")},
        {5, at + wxT("Challenge succeeded")},
    };
    EXPECT_EQ(connection.notes, expected);

    connection.Disconnect(wxT("Logged off"), true);
    EXPECT_FALSE(connection.IsConnected());
    EXPECT_EQ(connection.notes.back().second,
              wxString::Format(wxT("Network: [farmsim-demo/127.0.0.1:%i] Disconnected (Logged off)"), sim.port));
  }

  const std::vector<std::string> challenge = sim.Journal("Challenge");
  ASSERT_EQ(challenge.size(), 1u);
  EXPECT_NE(challenge[0].find("\"identifier\": \"Kilnforge.V2.RemoteController\""), std::string::npos) << challenge[0];
  EXPECT_NE(challenge[0].find("\"version\": 45"), std::string::npos) << challenge[0];
  EXPECT_NE(challenge[0].find("\"raw\": true"), std::string::npos) << challenge[0];
  EXPECT_NE(challenge[0].find("\"serial\": 1,"), std::string::npos) << challenge[0];

  const std::vector<std::string> info = sim.Journal("OppositeInfo");
  ASSERT_EQ(info.size(), 1u);
  const std::string host(MachineHostName().utf8_str());
  const std::string memory = std::to_string(MachinePhysicalMemory());
  EXPECT_GT(MachinePhysicalMemory(), 0u);
  EXPECT_NE(info[0].find("\"kind\": 1,"), std::string::npos) << info[0];
  EXPECT_NE(info[0].find("\"build\": 1900,"), std::string::npos) << info[0];
  EXPECT_NE(info[0].find("\"computer\": \"" + host + "\""), std::string::npos) << info[0];
  EXPECT_NE(info[0].find("\"alias\": \"rc-" + host + "\""), std::string::npos) << info[0];
  EXPECT_NE(info[0].find("\"memory\": " + memory), std::string::npos) << info[0];
  EXPECT_NE(info[0].find("\"serial\": 2,"), std::string::npos) << info[0];
}

TEST(FarmSimConnectionTest, ARefusedChallengeAndAClosedPortAreReported) {
  auto sim = std::make_unique<FarmSimProcess>(R"({"refuse_challenge": "not today"})");
  ASSERT_GT(sim->port, 0) << "the farm simulator did not start";
  CNetEngine engine;
  engine.RegisterAll();
  {
    CSimConnection connection(sim->port);
    connection.Init(&engine);
    ASSERT_TRUE(connection.Connect(false, false));
    CChallengeMsg* challenge = wxDynamicCast(engine.CreateForSend(1), CChallengeMsg);
    challenge->SetIdentifier(CChallengeMsg::kRemoteControllerId);
    challenge->SetVersion(45);
    const CNetMsgAckResult result = connection.SendAndWait(challenge, 10000);
    EXPECT_EQ(result.GetResult(), 0);
    EXPECT_EQ(result.GetText(), wxT("not today"));
    EXPECT_EQ(connection.GetPendingReason(), wxT("Challenging the target machine failed (not today)."));
    EXPECT_FALSE(connection.IsReady());
  }

  // Once the simulator is gone nothing listens on its port.
  const int port = sim->port;
  sim.reset();
  CSimConnection closed(port);
  closed.Init(&engine);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(closed.Connect(true, true));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  ASSERT_FALSE(closed.notes.empty());
  EXPECT_EQ(closed.notes.back().first, 3);
  EXPECT_NE(closed.notes.back().second.Find(wxT("] Unable to connect (")), wxNOT_FOUND);
  EXPECT_FALSE(closed.IsConnected());
}

}  // namespace
