#include "Pictures.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace brantok::lumaro::host {
namespace {

using Rgb = std::array<float, 3>;

Rgb FromHue(float hue) { // hue 0..1, full saturation and value
  const float h = (hue - std::floor(hue)) * 6.0f;
  const float x = 1.0f - std::fabs(std::fmod(h, 2.0f) - 1.0f);
  switch (static_cast<int>(h)) {
  case 0:
    return {1, x, 0};
  case 1:
    return {x, 1, 0};
  case 2:
    return {0, 1, x};
  case 3:
    return {0, x, 1};
  case 4:
    return {x, 0, 1};
  default:
    return {1, 0, x};
  }
}

Rgb Mix(const Rgb& a, const Rgb& b, float t) {
  return {a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t};
}

constexpr int kGap = 8;
constexpr float kBackground = 0.12f;

} // namespace

Image MakeTestCard(int width, int height) {
  static const std::array<Rgb, 8> bars = {Rgb{1, 1, 1}, Rgb{1, 1, 0}, Rgb{0, 1, 1}, Rgb{0, 1, 0},
                                          Rgb{1, 0, 1}, Rgb{1, 0, 0}, Rgb{0, 0, 1}, Rgb{0, 0, 0}};
  Image image(width, height);
  const float cx = (width - 1) / 2.0f;
  const float cy = (height - 1) / 2.0f;
  const float radius = std::min(width, height) * 0.3f;
  for (int y = 0; y < height; ++y) {
    const float v = height > 1 ? static_cast<float>(y) / (height - 1) : 0.0f;
    for (int x = 0; x < width; ++x) {
      const float u = width > 1 ? static_cast<float>(x) / (width - 1) : 0.0f;
      Rgb colour;
      if (v < 0.3f) {
        colour = bars[std::min<std::size_t>(static_cast<std::size_t>(u * bars.size()), bars.size() - 1)];
      } else if (v < 0.7f) {
        // Saturation rises from white at the band's top to full colour.
        colour = Mix({1, 1, 1}, FromHue(u), (v - 0.3f) / 0.4f);
      } else if (v < 0.85f) {
        colour = {u, u, u};
      } else {
        colour = Mix({0.25f, 0.12f, 0.06f}, {1.0f, 0.85f, 0.7f}, u);
      }
      // A thin ring shows geometry and edges.
      const float distance = std::hypot(x - cx, y - cy);
      if (std::fabs(distance - radius) < std::max(1.5f, radius * 0.02f)) colour = Mix(colour, {1, 1, 1}, 0.8f);
      float* pixel = image.Pixel(x, y);
      pixel[0] = colour[0];
      pixel[1] = colour[1];
      pixel[2] = colour[2];
      pixel[3] = 1.0f;
    }
  }
  return image;
}

Image MakeSheet(const std::vector<Image>& images, int columns) {
  int cellWidth = 0;
  int cellHeight = 0;
  for (const auto& image : images) {
    cellWidth = std::max(cellWidth, image.Width());
    cellHeight = std::max(cellHeight, image.Height());
  }
  columns = std::max(1, std::min<int>(columns, static_cast<int>(images.size())));
  const int rows = (static_cast<int>(images.size()) + columns - 1) / columns;
  Image sheet(kGap + columns * (cellWidth + kGap), kGap + rows * (cellHeight + kGap));
  for (int y = 0; y < sheet.Height(); ++y) {
    for (int x = 0; x < sheet.Width(); ++x) {
      float* pixel = sheet.Pixel(x, y);
      pixel[0] = pixel[1] = pixel[2] = kBackground;
      pixel[3] = 1.0f;
    }
  }
  for (std::size_t i = 0; i < images.size(); ++i) {
    const auto& image = images[i];
    const int left = kGap + static_cast<int>(i % columns) * (cellWidth + kGap);
    const int top = kGap + static_cast<int>(i / columns) * (cellHeight + kGap);
    for (int y = 0; y < image.Height(); ++y) {
      for (int x = 0; x < image.Width(); ++x) {
        const float* source = image.Pixel(x, y);
        float* target = sheet.Pixel(left + x, top + y);
        const float alpha = std::clamp(source[3], 0.0f, 1.0f);
        for (int c = 0; c < 3; ++c) target[c] = source[c] * alpha + target[c] * (1.0f - alpha);
      }
    }
  }
  return sheet;
}

} // namespace brantok::lumaro::host
