#pragma once

#include <array>
#include <cstdint>

namespace brantok::lumaro::gpu {

// Plain values that travel through the GPU interfaces: sizes, origins and
// kernel arguments. Matrices are stored as flat arrays; the back end decides
// how they are laid out for the device.

struct Int2 {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

struct Int3 {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t z = 0;
};

struct Float2 {
  float x = 0.0f;
  float y = 0.0f;
};

struct Float3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

struct Float4 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  float w = 0.0f;
};

struct Float3x3 {
  std::array<float, 9> m{};
};

struct Float4x4 {
  std::array<float, 16> m{};
};

} // namespace brantok::lumaro::gpu
