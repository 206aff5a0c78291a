// The text of the terminal's progress line: status, bar, percentage, the time
// the work has taken and an estimate of the time it still needs.
#pragma once

#include <cstdint>
#include <string>

namespace tesselor {

// done of total steps after elapsedSeconds. The time left assumes the steps
// still to come go as fast as those done; before the first step it is
// unknown and shown as "--:--".
std::string ProgressBarText(const std::string& status, int64_t done, int64_t total,
                            double elapsedSeconds);

}  // namespace tesselor
