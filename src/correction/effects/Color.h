#pragma once

namespace brantok::lumaro::correction::effects {

// Red, green, blue, alpha; nominally 0 to 1. Laid out as an OpenCL float4 so
// that it is passed to kernels as one 16-byte argument.
struct Color {
  float red = 0.0f;
  float green = 0.0f;
  float blue = 0.0f;
  float alpha = 0.0f;

  friend bool operator==(const Color&, const Color&) = default;
};

static_assert(sizeof(Color) == 16, "Color is passed to kernels as a float4");

} // namespace brantok::lumaro::correction::effects
