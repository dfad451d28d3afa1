#include "platform/Clock.h"

#include <chrono>
#include <thread>

namespace {

class CSteadyClock : public CClock {
 public:
  CSteadyClock() : m_start(std::chrono::steady_clock::now()) {}

  wxUint32 Now() override {
    const auto elapsed = std::chrono::steady_clock::now() - m_start;
    return static_cast<wxUint32>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
  }

  void Sleep(wxUint32 ms) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }

 private:
  const std::chrono::steady_clock::time_point m_start;
};

}  // namespace

CClock& CClock::System() {
  static CSteadyClock clock;
  return clock;
}
