#include "FuzzInput.h"

#include <algorithm>

namespace brantok::lumaro::fuzz {

FuzzInput::FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(data ? size : 0) {}

std::uint8_t FuzzInput::Byte() { return Empty() ? 0 : data_[offset_++]; }

bool FuzzInput::Bool() { return (Byte() & 1) != 0; }

std::size_t FuzzInput::Pick(std::size_t count) { return Byte() % count; }

std::string FuzzInput::Bytes(std::size_t limit) {
  const std::size_t wanted = ((static_cast<std::size_t>(Byte()) << 8) | Byte()) % limit;
  const std::size_t length = std::min(wanted, size_ - std::min(offset_, size_));
  if (length == 0) return {};
  std::string bytes(reinterpret_cast<const char*>(data_) + offset_, length);
  offset_ += length;
  return bytes;
}

} // namespace brantok::lumaro::fuzz
