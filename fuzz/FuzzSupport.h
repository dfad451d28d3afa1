// Shared by the fuzz targets: starts the wx library once, turns every wx
// assertion into an abort (a release build must never reach one, so a fuzzer
// that does has found a fault), and reads the fuzzer's bytes piece by piece.
#pragma once

#include "app/KfJsCore.h"

#include <wx/init.h>
#include <wx/log.h>
#include <wx/string.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace kffuzz {

inline void AbortOnAssert(const wxString& file, int line, const wxString& func,
                          const wxString& cond, const wxString& msg) {
  std::fprintf(stderr, "wx assertion reached: %s:%d in %s: %s %s\n",
               static_cast<const char*>(file.utf8_str()), line,
               static_cast<const char*>(func.utf8_str()), static_cast<const char*>(cond.utf8_str()),
               static_cast<const char*>(msg.utf8_str()));
  std::abort();
}

// Starts wx on the first call; later calls do nothing.
inline void Init() {
  static const bool started = [] {
    wxInitialize();
    wxSetAssertHandler(AbortOnAssert);
    return true;
  }();
  (void)started;
}

// One core for the whole fuzzing run, with its console output dropped.
inline CKfJsCore& SilentCore() {
  static CKfJsCore* core = [] {
    auto* c = new CKfJsCore();
    c->SetConsoleSink([](const wxString&) {});
    return c;
  }();
  return *core;
}

// The fuzzer's bytes, consumed from the front.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

  bool Empty() const { return m_size == 0; }
  size_t Size() const { return m_size; }
  // The next byte, 0 when none is left.
  uint8_t Byte() {
    if (m_size == 0) return 0;
    --m_size;
    return *m_data++;
  }
  // The next `n` bytes (fewer at the end).
  std::string Take(size_t n) {
    if (n > m_size) n = m_size;
    std::string out(reinterpret_cast<const char*>(m_data), n);
    m_data += n;
    m_size -= n;
    return out;
  }
  std::string Rest() { return Take(m_size); }

 private:
  const uint8_t* m_data;
  size_t m_size;
};

// Stops the program with a message: an invariant of the code under test broke.
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
  std::abort();
}

}  // namespace kffuzz
