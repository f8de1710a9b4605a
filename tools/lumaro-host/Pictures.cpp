#include "Pictures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include <stb/stb_easy_font.h>

namespace brantok::lumaro::host {
namespace {

using Rgb = std::array<float, 3>;

// Captions: stb's built-in segment font at twice its size, light grey.
constexpr int kTextScale = 2;
constexpr int kCaptionGap = 6;
constexpr int kLineHeight = 7 * kTextScale + 4;
constexpr int kCaptionLines = 2;
constexpr int kCaptionBand = kCaptionGap + kCaptionLines * kLineHeight + kCaptionGap;
constexpr float kTextGrey = 0.85f;

int TextWidth(std::string text) { return stb_easy_font_width(text.data()) * kTextScale; }

// Writes one line of `text` with its top left at (left, top), cut with "..."
// to `width`.
void DrawLine(Image& image, int left, int top, int width, std::string text) {
  if (TextWidth(text) > width) {
    while (!text.empty() && TextWidth(text + "...") > width) text.pop_back();
    text += "...";
  }
  // Each character is at most some 270 bytes of quads.
  std::vector<char> quads(text.size() * 300 + 300);
  const int count = stb_easy_font_print(0, 0, text.data(), nullptr, quads.data(), static_cast<int>(quads.size()));
  constexpr std::size_t kVertex = 16; // x, y, z floats and four colour bytes
  for (int q = 0; q < count; ++q) {
    float corners[2][2];
    std::memcpy(corners[0], quads.data() + static_cast<std::size_t>(q) * 4 * kVertex, sizeof corners[0]);
    std::memcpy(corners[1], quads.data() + (static_cast<std::size_t>(q) * 4 + 2) * kVertex, sizeof corners[1]);
    const int x0 = left + static_cast<int>(std::min(corners[0][0], corners[1][0])) * kTextScale;
    const int x1 = left + static_cast<int>(std::max(corners[0][0], corners[1][0])) * kTextScale;
    const int y0 = top + static_cast<int>(std::min(corners[0][1], corners[1][1])) * kTextScale;
    const int y1 = top + static_cast<int>(std::max(corners[0][1], corners[1][1])) * kTextScale;
    for (int y = std::max(0, y0); y < std::min(image.Height(), y1); ++y) {
      for (int x = std::max(0, x0); x < std::min(image.Width(), x1); ++x) {
        float* pixel = image.Pixel(x, y);
        pixel[0] = pixel[1] = pixel[2] = kTextGrey;
      }
    }
  }
}

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

// Writes `text` in up to two lines from (left, top), broken between words.
void DrawCaption(Image& image, int left, int top, int width, std::string text) {
  for (auto& c : text) {
    if (c < 32 || c > 126) c = '?';
  }
  for (int line = 0; line < kCaptionLines && !text.empty(); ++line) {
    std::size_t end = text.size();
    if (line + 1 < kCaptionLines) {
      while (TextWidth(text.substr(0, end)) > width) {
        const auto space = text.rfind(' ', end - 1);
        if (space == std::string::npos || space == 0) break;
        end = space;
      }
    }
    DrawLine(image, left, top + line * kLineHeight, width, text.substr(0, end));
    text.erase(0, std::min(text.size(), end + 1));
  }
}

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

Image MakeSheet(const std::vector<Image>& images, int columns, const std::vector<std::string>& captions) {
  int cellWidth = 0;
  int imageHeight = 0;
  for (const auto& image : images) {
    cellWidth = std::max(cellWidth, image.Width());
    imageHeight = std::max(imageHeight, image.Height());
  }
  const int cellHeight = imageHeight + (captions.empty() ? 0 : kCaptionBand);
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
    if (i < captions.size()) DrawCaption(sheet, left, top + imageHeight + kCaptionGap, cellWidth, captions[i]);
  }
  return sheet;
}

} // namespace brantok::lumaro::host
