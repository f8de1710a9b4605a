#include "WorldPixels.h"

#include "CliError.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace brantok::lumaro::host {
namespace {

struct Layout {
  std::array<int, 4> order; // where red, green, blue and alpha sit in a pixel
  bool floats;
};

Layout LayoutOf(PrPixelFormat format) {
  switch (format) {
  case PrPixelFormat_BGRA_4444_8u:
    return {{2, 1, 0, 3}, false};
  case PrPixelFormat_BGRA_4444_32f:
    return {{2, 1, 0, 3}, true};
  case PrPixelFormat_ARGB_4444_8u:
    return {{1, 2, 3, 0}, false};
  case PrPixelFormat_ARGB_4444_32f:
    return {{1, 2, 3, 0}, true};
  default:
    throw CliError("the host cannot convert pixel format " + std::to_string(static_cast<long>(format)));
  }
}

std::uint8_t ToByte(float value) {
  const float clamped = value > 0.0f ? std::min(value, 1.0f) : 0.0f;
  return static_cast<std::uint8_t>(std::lround(clamped * 255.0f));
}

void CheckSize(const Image& image, const HostWorld& world) {
  if (image.Width() != world.Width() || image.Height() != world.Height()) {
    throw CliError("image and frame sizes differ");
  }
}

} // namespace

void WriteImageToWorld(const Image& image, HostWorld& world) {
  CheckSize(image, world);
  const Layout layout = LayoutOf(world.Format());
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      const float* source = image.Pixel(x, y);
      std::uint8_t* target = world.Pixel(x, y);
      for (int c = 0; c < 4; ++c) {
        if (layout.floats) {
          std::memcpy(target + layout.order[c] * sizeof(float), &source[c], sizeof(float));
        } else {
          target[layout.order[c]] = ToByte(source[c]);
        }
      }
    }
  }
}

Image ReadImageFromWorld(const HostWorld& world) {
  const Layout layout = LayoutOf(world.Format());
  Image image(world.Width(), world.Height());
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      const std::uint8_t* source = world.Pixel(x, y);
      float* target = image.Pixel(x, y);
      for (int c = 0; c < 4; ++c) {
        if (layout.floats) {
          std::memcpy(&target[c], source + layout.order[c] * sizeof(float), sizeof(float));
        } else {
          target[c] = source[layout.order[c]] / 255.0f;
        }
      }
    }
  }
  return image;
}

} // namespace brantok::lumaro::host
