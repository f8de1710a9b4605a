#include "ae/ImageView.h"

#include <cstdlib>

namespace brantok::lumaro::ae {

std::optional<ImageView> ImageView::Describe(const PF_LayerDef& world, std::size_t bytesPerPixel) {
  if (!world.data || world.width <= 0 || world.height <= 0) return std::nullopt;
  const auto pitch = static_cast<std::size_t>(std::llabs(static_cast<long long>(world.rowbytes)));
  if (pitch < static_cast<std::size_t>(world.width) * bytesPerPixel) return std::nullopt;
  // A negative stride: the world points at its top row, the highest in memory.
  const bool bottomUp = world.rowbytes < 0;
  auto* data = reinterpret_cast<std::uint8_t*>(world.data);
  if (bottomUp) data -= static_cast<std::ptrdiff_t>(world.height - 1) * static_cast<std::ptrdiff_t>(pitch);
  return ImageView{data, pitch, world.width, world.height, bottomUp};
}

} // namespace brantok::lumaro::ae
