// Loopback helpers shared by the tests and the benchmarks that talk to a
// server on 127.0.0.1: a port nothing listens on, and a probe for a listener.
#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>

namespace kftest {

inline sockaddr_in LoopbackAddress(int port) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<uint16_t>(port));
  return addr;
}

// A loopback port that nothing listens on (bound once, then released).
inline int FreeLoopbackPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr = LoopbackAddress(0);
  socklen_t len = sizeof(addr);
  bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
  getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  close(fd);
  return ntohs(addr.sin_port);
}

// True when something accepts connections on the port.
inline bool LoopbackListens(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  const sockaddr_in addr = LoopbackAddress(port);
  const bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) == 0;
  close(fd);
  return ok;
}

}  // namespace kftest
