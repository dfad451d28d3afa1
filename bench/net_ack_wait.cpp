// CPU time of a client that waits 10 s for an acknowledgement that comes
// late: the wait must block, not spin (target: well under 0.1 s of CPU).
#include "net/ChallengeMsg.h"
#include "net/MsgAckMsg.h"
#include "net/NetEngine.h"
#include "net/RemoteConnection.h"
#include "platform/UniqueCast.h"

#include "net_loopback.h"

#include <wx/init.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

class CBenchConnection : public CRemoteConnection {
 public:
  explicit CBenchConnection(int port) : m_port(port) {}
  ~CBenchConnection() override { Disconnect(wxString(), false); }
  void GetAddress(wxString& host, int& port) override {
    host = wxT("127.0.0.1");
    port = m_port;
  }

 private:
  int m_port;
};

double ThreadCpuSeconds() {
  rusage usage;
  getrusage(RUSAGE_THREAD, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

std::string U32(wxUint32 v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(v >> (8 * i));
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  wxInitializer wx;
  const int delayMs = argc > 1 ? std::atoi(argv[1]) : 10000;
  // The server reads the raw challenge and answers it after the delay.
  CLoopbackServer server([delayMs](int fd) {
    char length[4];
    if (!ReadExactly(fd, length, 4)) return;
    wxUint32 total = 0;
    for (int i = 3; i >= 0; --i) total = (total << 8) | static_cast<unsigned char>(length[i]);
    std::vector<char> rest(total - 4);
    if (!ReadExactly(fd, rest.data(), rest.size())) return;
    wxUint32 serial = 0;
    for (int i = 3; i >= 0; --i) serial = (serial << 8) | static_cast<unsigned char>(rest[4 + i]);
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    const std::string ack = U32(1024) + U32(1) + U32(1) + U32(serial) + std::string("\x01\0", 2) +
                            U32(0) + U32(0) + std::string(1, '\0') + U32(0);
    const std::string frame = U32(16 + ack.size()) + U32(1) + U32(0) + U32(1) + ack;
    WriteAll(fd, frame.data(), frame.size());
    char drain[256];
    while (read(fd, drain, sizeof drain) > 0) {
    }
  });

  CNetEngine engine;
  engine.RegisterAll();
  CBenchConnection connection(server.port);
  connection.Init(&engine);
  if (!connection.Connect(false, false)) {
    std::printf("connect failed\n");
    return 1;
  }
  std::unique_ptr<CChallengeMsg> challenge = UniqueCast<CChallengeMsg>(engine.CreateForSend(1));
  challenge->SetIdentifier(CChallengeMsg::kRemoteControllerId);
  challenge->SetVersion(CChallengeMsg::kProtocolVersion);

  const double cpuStart = ThreadCpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  const CNetMsgAckResult result = connection.SendAndWait(std::move(challenge), 30000);
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
  const double cpu = ThreadCpuSeconds() - cpuStart;
  connection.Disconnect(wxString(), false);

  std::printf("acknowledgement after %.3f s (result %d); CPU of the waiting thread: %.4f s\n",
              wall.count(), result.GetResult(), cpu);
  return result.GetResult() == 1 ? 0 : 1;
}
