#pragma once

#include "FrameTime.h"

#include <cstdint>
#include <optional>

namespace brantok::lumaro::host {

// The in_data time fields for --time, --frame and --duration. The plug-in
// gives its kernel seconds = current_time / time_scale, frame = current_time /
// time_step (integer division) and duration = total_time / time_scale.
//
// time_scale is the largest power of ten from 10^3 to 10^9 that keeps
// current_time and total_time within 32 bits, so decimal seconds arrive
// exactly. Without both --time and --frame, time_step is one frame at 25 per
// second (time_scale / 25) and the missing one follows from it (--time alone:
// frame = floor(seconds x 25); --frame alone: seconds = frame / 25). With both,
// time_step is current_time / frame (rounded down), the largest step that
// divides back to the frame; frame 0 takes a step longer than the time. Throws
// CliError for negative values, values too large, and pairs that no integer
// step can give (a frame above 0 at time 0, or more frames than time units).
FrameTime ChooseFrameTime(std::optional<double> seconds, std::optional<std::int64_t> frame,
                          std::optional<double> duration);

} // namespace brantok::lumaro::host
