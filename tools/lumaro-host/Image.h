#pragma once

#include <filesystem>
#include <vector>

namespace brantok::lumaro::host {

// A picture as straight (not premultiplied) red, green, blue, alpha floats,
// nominally 0 to 1, top row first: the one form between PNG files and the
// host's frame buffers.
class Image {
public:
  Image() = default;
  Image(int width, int height);

  // Any PNG: grey or colour, with or without alpha (none: opaque), 8 or 16 bits.
  // Throws CliError when the file cannot be read or is not a PNG.
  static Image LoadPng(const std::filesystem::path& path);
  // 8-bit RGBA, values rounded to the nearest step. Throws CliError when the
  // file cannot be written.
  void SavePng(const std::filesystem::path& path) const;

  int Width() const { return width_; }
  int Height() const { return height_; }
  float* Pixel(int x, int y) { return &pixels_[(static_cast<std::size_t>(y) * width_ + x) * 4]; }
  const float* Pixel(int x, int y) const { return &pixels_[(static_cast<std::size_t>(y) * width_ + x) * 4]; }

private:
  int width_ = 0;
  int height_ = 0;
  std::vector<float> pixels_;
};

} // namespace brantok::lumaro::host
