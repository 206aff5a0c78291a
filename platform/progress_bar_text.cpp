#include "platform/progress_bar_text.h"

#include <algorithm>
#include <cstdio>

namespace tesselor {

namespace {

constexpr int kBarWidth = 30;

// M:SS, or H:MM:SS from an hour on.
std::string Clock(double seconds) {
  const auto whole = static_cast<int64_t>(std::max(0.0, seconds));
  char text[32];
  if (whole < 3600)
    std::snprintf(text, sizeof text, "%d:%02d", int(whole / 60), int(whole % 60));
  else
    std::snprintf(text, sizeof text, "%lld:%02d:%02d", static_cast<long long>(whole / 3600),
                  int(whole / 60 % 60), int(whole % 60));
  return text;
}

}  // namespace

std::string ProgressBarText(const std::string& status, int64_t done, int64_t total,
                            double elapsedSeconds) {
  const int64_t span = std::max<int64_t>(total, 1);
  const int64_t clamped = std::clamp<int64_t>(done, 0, span);
  const int percent = static_cast<int>(clamped * 100 / span);
  std::string bar(kBarWidth, '.');
  std::fill_n(bar.begin(), percent * kBarWidth / 100, '#');
  const std::string left =
      clamped > 0 ? Clock(elapsedSeconds * static_cast<double>(span - clamped) / clamped) : "--:--";
  char tail[96];
  std::snprintf(tail, sizeof tail, "] %3d%%  %s elapsed, %s left", percent,
                Clock(elapsedSeconds).c_str(), left.c_str());
  return status + " [" + bar + tail;
}

}  // namespace tesselor
