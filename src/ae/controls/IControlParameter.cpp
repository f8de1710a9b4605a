#include "ae/controls/IControlParameter.h"

namespace brantok::lumaro::ae::controls {

HostFrame HostFrame::Of(const PF_InData& inData, A_long width, A_long height) {
  // A scale of 1/2 means the frame has half the layer's pixels.
  const auto full = [](A_long pixels, const PF_RationalScale& scale) {
    if (scale.num <= 0 || scale.den == 0) return static_cast<double>(pixels);
    return static_cast<double>(pixels) * static_cast<double>(scale.den) / static_cast<double>(scale.num);
  };
  return {full(width, inData.downsample_x), full(height, inData.downsample_y)};
}

} // namespace brantok::lumaro::ae::controls
