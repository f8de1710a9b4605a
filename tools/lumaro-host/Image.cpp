#include "Image.h"

#include "CliError.h"
#include "core/PathText.h"

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace brantok::lumaro::host {
namespace {

constexpr unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// The host API's largest frame.
constexpr int kMaximumSize = 30000;

std::string Shown(const std::filesystem::path& path) { return core::PathToUtf8(path); }

void AppendBytes(void* context, void* data, int size) {
  auto* bytes = static_cast<std::string*>(context);
  bytes->append(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

} // namespace

Image::Image(int width, int height) :
    width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height * 4, 0.0f) {}

Image Image::LoadPng(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw CliError("cannot read image " + Shown(path));
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) throw CliError("cannot read image " + Shown(path));
  if (bytes.size() < sizeof kPngSignature || !std::equal(std::begin(kPngSignature), std::end(kPngSignature),
                                                         reinterpret_cast<const unsigned char*>(bytes.data()))) {
    throw CliError(Shown(path) + " is not a PNG image");
  }
  if (bytes.size() > static_cast<std::size_t>(INT_MAX)) throw CliError(Shown(path) + " is too large");

  const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
  const int size = static_cast<int>(bytes.size());
  int width = 0;
  int height = 0;
  int channels = 0;
  if (!stbi_info_from_memory(data, size, &width, &height, &channels)) {
    throw CliError("cannot decode PNG image " + Shown(path) + ": " + stbi_failure_reason());
  }
  if (width > kMaximumSize || height > kMaximumSize) {
    throw CliError(Shown(path) + " is larger than " + std::to_string(kMaximumSize) + " pixels a side");
  }

  Image image;
  // Every layout comes out as RGBA; without alpha, alpha is opaque.
  if (stbi_is_16_bit_from_memory(data, size)) {
    std::unique_ptr<stbi_us, void (*)(void*)> pixels(stbi_load_16_from_memory(data, size, &width, &height, nullptr, 4),
                                                     stbi_image_free);
    if (!pixels) throw CliError("cannot decode PNG image " + Shown(path) + ": " + stbi_failure_reason());
    image = Image(width, height);
    std::transform(pixels.get(), pixels.get() + image.pixels_.size(), image.pixels_.begin(),
                   [](stbi_us value) { return value / 65535.0f; });
  } else {
    std::unique_ptr<stbi_uc, void (*)(void*)> pixels(stbi_load_from_memory(data, size, &width, &height, nullptr, 4),
                                                     stbi_image_free);
    if (!pixels) throw CliError("cannot decode PNG image " + Shown(path) + ": " + stbi_failure_reason());
    image = Image(width, height);
    std::transform(pixels.get(), pixels.get() + image.pixels_.size(), image.pixels_.begin(),
                   [](stbi_uc value) { return value / 255.0f; });
  }
  return image;
}

void Image::SavePng(const std::filesystem::path& path) const {
  std::vector<std::uint8_t> bytes(pixels_.size());
  std::transform(pixels_.begin(), pixels_.end(), bytes.begin(), [](float value) {
    // NaN becomes 0.
    const float clamped = value > 0.0f ? std::min(value, 1.0f) : 0.0f;
    return static_cast<std::uint8_t>(std::lround(clamped * 255.0f));
  });
  std::string encoded;
  if (!stbi_write_png_to_func(AppendBytes, &encoded, width_, height_, 4, bytes.data(), width_ * 4)) {
    throw CliError("cannot encode " + Shown(path));
  }
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) throw CliError("cannot write image " + Shown(path));
  file.write(encoded.data(), static_cast<std::streamsize>(encoded.size()));
  file.close();
  if (!file) throw CliError("cannot write image " + Shown(path));
}

} // namespace brantok::lumaro::host
