#include "HostWorld.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <stdexcept>

namespace brantok::lumaro::host {
namespace {

struct FormatRegistry {
  std::mutex mutex;
  std::map<const void*, PrPixelFormat> formats;
};

FormatRegistry& Registry() {
  // Never destroyed: worlds owned by other statics unregister during exit.
  static auto* registry = new FormatRegistry;
  return *registry;
}

} // namespace

A_long HostWorld::BytesPerPixel(PrPixelFormat format) {
  switch (format) {
  case PrPixelFormat_BGRA_4444_32f:
  case PrPixelFormat_ARGB_4444_32f:
  case PrPixelFormat_BGRX_4444_32f:
    return 16;
  case PrPixelFormat_BGRA_4444_16u:
  case PrPixelFormat_ARGB_4444_16u:
  case PrPixelFormat_XRGB_4444_16u:
  case PrPixelFormat_BGRX_4444_16u:
    return 8;
  default:
    return 4;
  }
}

HostWorld::HostWorld(A_long width, A_long height, PrPixelFormat format, A_long rowPadding, bool bottomUp) :
    format_(format), bytesPerPixel_(BytesPerPixel(format)) {
  if (width < 0 || height < 0 || rowPadding < 0) throw std::invalid_argument("negative world size");
  stride_ =
      static_cast<std::size_t>(width) * static_cast<std::size_t>(bytesPerPixel_) + static_cast<std::size_t>(rowPadding);
  memory_.assign(stride_ * static_cast<std::size_t>(height), kPaddingByte);

  world_.world_flags = PF_WorldFlag_WRITEABLE | (bytesPerPixel_ == 8 ? PF_WorldFlag_DEEP : 0);
  world_.width = width;
  world_.height = height;
  world_.rowbytes = static_cast<A_long>(bottomUp ? -static_cast<std::ptrdiff_t>(stride_) : stride_);
  if (!memory_.empty()) {
    world_.data = reinterpret_cast<PF_PixelPtr>(
        bottomUp ? memory_.data() + stride_ * static_cast<std::size_t>(height - 1) : memory_.data());
  }
  world_.extent_hint = {0, 0, width, height};
  world_.pix_aspect_ratio = {1, 1};
  FillPixels(0);

  if (world_.data) {
    auto& registry = Registry();
    std::lock_guard lock(registry.mutex);
    registry.formats[world_.data] = format_;
  }
}

HostWorld::~HostWorld() {
  if (!world_.data) return;
  auto& registry = Registry();
  std::lock_guard lock(registry.mutex);
  registry.formats.erase(world_.data);
}

std::uint8_t* HostWorld::Row(A_long y) {
  return reinterpret_cast<std::uint8_t*>(world_.data) + static_cast<std::ptrdiff_t>(y) * world_.rowbytes;
}

const std::uint8_t* HostWorld::Row(A_long y) const {
  return reinterpret_cast<const std::uint8_t*>(world_.data) + static_cast<std::ptrdiff_t>(y) * world_.rowbytes;
}

std::vector<std::uint8_t> HostWorld::PackedPixels() const {
  const std::size_t rowSize = static_cast<std::size_t>(world_.width) * static_cast<std::size_t>(bytesPerPixel_);
  std::vector<std::uint8_t> pixels;
  pixels.reserve(rowSize * static_cast<std::size_t>(world_.height));
  for (A_long y = 0; y < world_.height; ++y) pixels.insert(pixels.end(), Row(y), Row(y) + rowSize);
  return pixels;
}

void HostWorld::FillPixels(std::uint8_t value) {
  const std::size_t rowSize = static_cast<std::size_t>(world_.width) * static_cast<std::size_t>(bytesPerPixel_);
  for (A_long y = 0; y < world_.height; ++y) std::fill_n(Row(y), rowSize, value);
}

bool HostWorld::PaddingIntact() const {
  const std::size_t rowSize = static_cast<std::size_t>(world_.width) * static_cast<std::size_t>(bytesPerPixel_);
  for (std::size_t offset = 0; offset < memory_.size(); offset += stride_) {
    for (std::size_t i = rowSize; i < stride_; ++i) {
      if (memory_[offset + i] != kPaddingByte) return false;
    }
  }
  return true;
}

std::optional<PrPixelFormat> HostWorld::FormatOf(const PF_EffectWorld* world) {
  if (!world || !world->data) return std::nullopt;
  auto& registry = Registry();
  std::lock_guard lock(registry.mutex);
  const auto found = registry.formats.find(world->data);
  if (found == registry.formats.end()) return std::nullopt;
  return found->second;
}

} // namespace brantok::lumaro::host
