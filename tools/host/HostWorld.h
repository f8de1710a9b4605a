#pragma once

#include "ae/sdk/EffectApi.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace brantok::lumaro::host {

// Owns the pixels of one frame buffer and the PF_EffectWorld that describes
// them, as the host hands them to the plug-in (input layer, output world).
//
// In this API `data` points at the top row and `rowbytes` is the signed
// distance from one row to the next one down: a bottom-up world, whose rows
// lie in memory from the bottom of the picture up, has a negative rowbytes
// and `data` at the last row in memory. Rows may be padded beyond
// width x bytes per pixel; the padding is filled with kPaddingByte so tests can
// see that nobody writes into it.
//
// The Premiere pixel format is recorded per world and answered by the pixel
// format suite's GetPixelFormat. The plug-in may pass a copy of the world
// structure (the input layer is one), so the format is looked up by the pixel
// address, not by the structure's address. Any code may be recorded, to test
// formats the plug-in does not support; codes without a known size take 4
// bytes per pixel.
class HostWorld {
public:
  static constexpr std::uint8_t kPaddingByte = 0xEE;

  HostWorld(A_long width, A_long height, PrPixelFormat format = PrPixelFormat_BGRA_4444_8u, A_long rowPadding = 0,
            bool bottomUp = false);
  ~HostWorld();
  HostWorld(const HostWorld&) = delete;
  HostWorld& operator=(const HostWorld&) = delete;

  PF_EffectWorld* World() { return &world_; }
  const PF_EffectWorld* World() const { return &world_; }
  PrPixelFormat Format() const { return format_; }
  A_long Width() const { return world_.width; }
  A_long Height() const { return world_.height; }
  A_long RowBytes() const { return world_.rowbytes; }
  A_long BytesPerPixel() const { return bytesPerPixel_; }
  bool BottomUp() const { return world_.rowbytes < 0; }

  // Row y counted from the top of the picture.
  std::uint8_t* Row(A_long y);
  const std::uint8_t* Row(A_long y) const;
  std::uint8_t* Pixel(A_long x, A_long y) { return Row(y) + static_cast<std::ptrdiff_t>(x) * bytesPerPixel_; }
  const std::uint8_t* Pixel(A_long x, A_long y) const {
    return Row(y) + static_cast<std::ptrdiff_t>(x) * bytesPerPixel_;
  }

  // The picture's bytes top row first, without padding.
  std::vector<std::uint8_t> PackedPixels() const;
  // Sets every pixel byte (not the padding).
  void FillPixels(std::uint8_t value);
  // True while every padding byte still holds kPaddingByte.
  bool PaddingIntact() const;

  static A_long BytesPerPixel(PrPixelFormat format);
  // The format of the world whose pixels start at world->data, if the host
  // made it.
  static std::optional<PrPixelFormat> FormatOf(const PF_EffectWorld* world);

private:
  PF_EffectWorld world_{};
  PrPixelFormat format_;
  A_long bytesPerPixel_;
  std::size_t stride_;
  std::vector<std::uint8_t> memory_;
};

} // namespace brantok::lumaro::host
