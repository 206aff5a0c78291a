// Lets the front end handle its messages during long work without paying
// for a drain at every small step: Tick() drains at most every few
// milliseconds, which keeps a window responsive and its Abort button live.
#pragma once

#include <chrono>

#include "platform/shell.h"

namespace tesselor {

class MessagePump {
 public:
  void Tick() {
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < kInterval) return;
    last_ = now;
    PumpMessages();
  }

 private:
  static constexpr std::chrono::milliseconds kInterval{5};
  std::chrono::steady_clock::time_point last_{};
};

}  // namespace tesselor
