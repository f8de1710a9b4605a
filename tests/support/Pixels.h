#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace brantok::lumaro::test {

// A pixel as red, green, blue and alpha in 0 to 1.
using Rgba = std::array<float, 4>;

// How a frame or an image stores a pixel.
enum class ePacking { Bgra8, Bgra32f, Rgba32f };

inline std::size_t PackedSize(ePacking packing) { return packing == ePacking::Bgra8 ? 4 : 16; }

// Writes the pixel's PackedSize bytes; 8-bit channels are rounded.
inline void PackPixel(const Rgba& pixel, ePacking packing, std::uint8_t* bytes) {
  const float bgra[4] = {pixel[2], pixel[1], pixel[0], pixel[3]};
  if (packing == ePacking::Bgra8) {
    for (int c = 0; c < 4; ++c) bytes[c] = static_cast<std::uint8_t>(std::lround(bgra[c] * 255.0f));
  } else {
    std::memcpy(bytes, packing == ePacking::Bgra32f ? bgra : pixel.data(), 16);
  }
}

inline Rgba UnpackPixel(const std::uint8_t* bytes, ePacking packing) {
  if (packing == ePacking::Bgra8) return {bytes[2] / 255.0f, bytes[1] / 255.0f, bytes[0] / 255.0f, bytes[3] / 255.0f};
  Rgba pixel;
  std::memcpy(pixel.data(), bytes, 16);
  if (packing == ePacking::Bgra32f) std::swap(pixel[0], pixel[2]);
  return pixel;
}

// The pixel as an 8-bit frame holds it.
inline Rgba Quantised(Rgba pixel) {
  for (auto& c : pixel) c = static_cast<float>(std::lround(c * 255.0f)) / 255.0f;
  return pixel;
}

// The Warm Glow example's formula, as its kernel computes it.
inline Rgba WarmGlow(const Rgba& pixel, float amount, const std::array<float, 3>& tint) {
  const float warmth[3] = {1.0f, 0.9f, 0.75f};
  Rgba out{0, 0, 0, pixel[3]};
  for (int c = 0; c < 3; ++c) {
    const float warm = pixel[c] * tint[c] * warmth[c] + 0.1f * amount;
    out[c] = std::clamp(pixel[c] + (warm - pixel[c]) * amount, 0.0f, 1.0f);
  }
  return out;
}

} // namespace brantok::lumaro::test
