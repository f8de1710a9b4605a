#pragma once

#include "ae/sdk/EffectApi.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace brantok::lumaro::ae {

// One host frame buffer as the GPU transfers see it: the lowest-addressed
// row first, with a positive pitch. A bottom-up world (negative row stride)
// is therefore seen upside down; input and output alike, so the result lands
// in the right rows.
struct ImageView {
  std::uint8_t* data = nullptr;
  std::size_t pitch = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  // Rows run from the bottom of the picture up in memory.
  bool bottomUp = false;

  // Nothing when the world has no pixels or rows too short for `bytesPerPixel`.
  static std::optional<ImageView> Describe(const PF_LayerDef& world, std::size_t bytesPerPixel);
};

} // namespace brantok::lumaro::ae
