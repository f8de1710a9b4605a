#include "FrameTiming.h"

#include "CliError.h"

#include <cmath>
#include <limits>
#include <sstream>
#include <string>

namespace brantok::lumaro::host {
namespace {

constexpr std::int64_t kLongMax = std::numeric_limits<A_long>::max();
constexpr std::int64_t kFramesPerSecond = 25;

bool Fits(double seconds, std::int64_t scale) {
  return seconds * static_cast<double>(scale) <= static_cast<double>(kLongMax) - 1.0;
}

std::int64_t Ticks(double seconds, std::int64_t scale) { return std::llround(seconds * static_cast<double>(scale)); }

} // namespace

FrameTime ChooseFrameTime(std::optional<double> seconds, std::optional<std::int64_t> frame,
                          std::optional<double> duration) {
  if (seconds && (!std::isfinite(*seconds) || *seconds < 0)) throw CliError("--time must be 0 or more seconds");
  if (duration && (!std::isfinite(*duration) || *duration < 0)) {
    throw CliError("--duration must be 0 or more seconds");
  }
  if (frame && (*frame < 0 || *frame > kLongMax)) throw CliError("--frame must be a frame number from 0");

  const double time = seconds ? *seconds : frame ? static_cast<double>(*frame) / kFramesPerSecond : 0.0;
  const double total = duration.value_or(0.0);
  std::int64_t scale = 1'000'000'000;
  while (scale >= 1000 && !(Fits(time, scale) && Fits(total, scale))) scale /= 10;
  if (scale < 1000) throw CliError("--time, --frame or --duration is too large");

  FrameTime result;
  result.timeScale = static_cast<A_u_long>(scale);
  result.totalTime = static_cast<A_long>(Ticks(total, scale));
  const std::int64_t frameStep = scale / kFramesPerSecond;
  std::int64_t current = 0;
  std::int64_t step = frameStep;
  if (frame && !seconds) {
    current = *frame * frameStep;
  } else if (seconds) {
    current = Ticks(*seconds, scale);
  }
  if (seconds && frame) {
    if (*frame == 0) {
      step = current < frameStep ? frameStep : current + 1;
    } else {
      step = current / *frame;
      if (step == 0 || current / step != *frame) {
        std::ostringstream text;
        text << "--frame " << *frame << " cannot be reached at --time " << *seconds
             << " (the frame step would be below one time unit)";
        throw CliError(text.str());
      }
    }
  }
  if (current > kLongMax || step > kLongMax) throw CliError("--time or --frame is too large");
  result.currentTime = static_cast<A_long>(current);
  result.timeStep = static_cast<A_long>(step);
  return result;
}

} // namespace brantok::lumaro::host
