#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace brantok::lumaro::fuzz {

// Reads a fuzzer's bytes as a series of small decisions. Past the end every
// read gives zero or nothing, so any input, the empty one included, is a
// complete run.
class FuzzInput {
public:
  FuzzInput(const std::uint8_t* data, std::size_t size);

  bool Empty() const { return offset_ >= size_; }
  std::uint8_t Byte();
  bool Bool();
  // A value below `count` (which must not be 0).
  std::size_t Pick(std::size_t count);
  // A length below `limit` taken from two bytes, then that many bytes (fewer
  // when the input ends first).
  std::string Bytes(std::size_t limit);

private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t offset_ = 0;
};

} // namespace brantok::lumaro::fuzz
