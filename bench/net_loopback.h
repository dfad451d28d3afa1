// Helpers of the transport benchmarks: a loopback listener served by a
// thread, and a message whose body is a block of bytes.
#pragma once

#include "net/GenericMsg.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <thread>

// A message of `size` body bytes.
class CBenchBlobMsg : public CGenericMsg {
 public:
  explicit CBenchBlobMsg(wxUint32 size = 0) : m_body(size, '\x5a') { SetType(77); }
  bool WriteBody(CMemoryStream& stream) const override {
    return stream.Write(m_body.data(), static_cast<wxUint32>(m_body.size()));
  }

 private:
  std::string m_body;
};

// Listens on a free 127.0.0.1 port and runs `serve` with the one accepted
// connection on its own thread.
class CLoopbackServer {
 public:
  explicit CLoopbackServer(std::function<void(int)> serve) {
    m_listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(m_listener, 1);
    socklen_t length = sizeof address;
    getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    m_thread = std::thread([this, serve] {
      const int connection = accept(m_listener, nullptr, nullptr);
      if (connection >= 0) {
        serve(connection);
        close(connection);
      }
    });
  }
  ~CLoopbackServer() {
    shutdown(m_listener, SHUT_RDWR);
    m_thread.join();
    close(m_listener);
  }
  int port = 0;

 private:
  int m_listener = -1;
  std::thread m_thread;
};

// Reads exactly `size` bytes; false at the end of the stream.
inline bool ReadExactly(int fd, char* buffer, size_t size) {
  while (size > 0) {
    const ssize_t n = read(fd, buffer, size);
    if (n <= 0) return false;
    buffer += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

inline bool WriteAll(int fd, const char* buffer, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, buffer, size);
    if (n <= 0) return false;
    buffer += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}
