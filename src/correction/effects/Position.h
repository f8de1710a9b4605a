#pragma once

namespace brantok::lumaro::correction::effects {

// A place in the frame as fractions of its width and height: (0, 0) the top
// left corner, (1, 1) the bottom right; values outside 0..1 lie off the frame.
// Laid out as an OpenCL float2, the kernel argument of a point control.
struct Position {
  float x = 0.5f;
  float y = 0.5f;
  friend bool operator==(const Position&, const Position&) = default;
};
static_assert(sizeof(Position) == 8, "Position is passed to kernels as a float2");

} // namespace brantok::lumaro::correction::effects
