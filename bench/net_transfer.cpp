// A large message framed, sent over loopback to a server that echoes every
// byte, and reassembled on the way back: 64 MiB and 128 MiB, so that the
// time per byte shows whether anything on the way is quadratic.
//   bench_net_transfer [runs=3]     medians of the runs
#include "net/BaseSocket.h"

#include "net_loopback.h"

#include <wx/init.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct CountingSink : CSocketNotificationSink {
  wxUint32 lastSize = 0;
  int messages = 0;
  void OnMessage(CMemoryStream& stream, bool) override {
    lastSize = stream.Size();
    ++messages;
  }
};

// Seconds for one round trip of a message of `size` body bytes, or -1.
double RoundTrip(wxUint32 size) {
  CLoopbackServer echo([](int fd) {
    std::vector<char> buffer(1 << 20);
    for (;;) {
      const ssize_t n = read(fd, buffer.data(), buffer.size());
      if (n <= 0 || !WriteAll(fd, buffer.data(), static_cast<size_t>(n))) return;
    }
  });
  CBaseSocket socket;
  CountingSink sink;
  socket.AddSink(&sink);
  if (!socket.Connect(wxT("127.0.0.1"), echo.port)) return -1;

  CBenchBlobMsg message(size);
  message.SetSerial(1);
  const auto start = std::chrono::steady_clock::now();
  socket.SendMsg(&message);
  while (sink.messages == 0 && socket.HasConnection()) {
    socket.WaitForActivity(1000);
    socket.Poll();
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  socket.Shutdown();
  if (sink.messages != 1 || sink.lastSize != size + 8) return -1;
  return took.count();
}

// Median of `runs` round trips, or -1 when one failed.
double Median(wxUint32 size, int runs) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const double t = RoundTrip(size);
    if (t < 0) return -1;
    times.push_back(t);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  wxInitializer wx;
  const int runs = std::max(1, argc > 1 ? std::atoi(argv[1]) : 3);
  const wxUint32 mib = 1024 * 1024;
  const double t64 = Median(64 * mib, runs);
  const double t128 = Median(128 * mib, runs);
  if (t64 <= 0 || t128 <= 0) {
    std::printf("transfer failed\n");
    return 1;
  }
  std::printf("64 MiB message framed, sent, echoed and reassembled: %.3f s, %.1f MB/s of message\n", t64,
              64 / t64);
  std::printf("128 MiB message: %.3f s, %.1f MB/s of message\n", t128, 128 / t128);
  std::printf("time ratio 128/64 MiB: %.2f (2.0 is linear)\n", t128 / t64);
  return 0;
}
