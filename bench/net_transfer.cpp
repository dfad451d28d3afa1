// A large message framed, sent over loopback to a server that echoes every
// byte, and reassembled on the way back: 64 MiB and 128 MiB, so that the
// time per byte shows whether anything on the way is quadratic.
//   bench_net_transfer [runs=3]     medians of the runs
#include "net/BaseSocket.h"

#include "net_loopback.h"

#include <wx/init.h>

#include <sys/resource.h>

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

// CPU seconds of the calling thread: the framing, sending, reassembly and
// waiting of the client, not the echo server's copying.
double ThreadCpu() {
  rusage usage;
  getrusage(RUSAGE_THREAD, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Trip {
  double wall = -1;
  double cpu = -1;
};

// Wall and client CPU seconds of one round trip of a message of `size` body
// bytes; negative when it failed.
Trip RoundTrip(wxUint32 size) {
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
  if (!socket.Connect(wxT("127.0.0.1"), echo.port)) return Trip();

  CBenchBlobMsg message(size);
  message.SetSerial(1);
  const double cpuStart = ThreadCpu();
  const auto start = std::chrono::steady_clock::now();
  socket.SendMsg(&message);
  while (sink.messages == 0 && socket.HasConnection()) {
    socket.WaitForActivity(1000);
    socket.Poll();
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  Trip trip;
  trip.cpu = ThreadCpu() - cpuStart;
  socket.Shutdown();
  if (sink.messages != 1 || sink.lastSize != size + 8) return Trip();
  trip.wall = took.count();
  return trip;
}

double MedianOf(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Medians of `runs` round trips; negative when one failed.
Trip Median(wxUint32 size, int runs) {
  std::vector<double> walls, cpus;
  for (int i = 0; i < runs; ++i) {
    const Trip t = RoundTrip(size);
    if (t.wall < 0) return Trip();
    walls.push_back(t.wall);
    cpus.push_back(t.cpu);
  }
  Trip median;
  median.wall = MedianOf(walls);
  median.cpu = MedianOf(cpus);
  return median;
}

}  // namespace

int main(int argc, char** argv) {
  wxInitializer wx;
  const int runs = std::max(1, argc > 1 ? std::atoi(argv[1]) : 3);
  const wxUint32 mib = 1024 * 1024;
  const Trip t64 = Median(64 * mib, runs);
  const Trip t128 = Median(128 * mib, runs);
  if (t64.wall <= 0 || t128.wall <= 0) {
    std::printf("transfer failed\n");
    return 1;
  }
  std::printf(
      "64 MiB message framed, sent, echoed and reassembled: %.3f s, %.1f MB/s of message, "
      "client CPU %.3f s\n",
      t64.wall, 64 / t64.wall, t64.cpu);
  std::printf("128 MiB message: %.3f s, %.1f MB/s of message, client CPU %.3f s\n", t128.wall,
              128 / t128.wall, t128.cpu);
  std::printf("ratio 128/64 MiB: time %.2f, client CPU %.2f (2.0 is linear)\n",
              t128.wall / t64.wall, t128.cpu / t64.cpu);
  return 0;
}
