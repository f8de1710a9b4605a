#include "ae/pipl/PiplWriter.h"

#include <stdexcept>
#include <string>

namespace brantok::lumaro::ae {
namespace {

constexpr std::uint32_t kVendor = PiplWriter::Code("8BIM");
constexpr std::size_t kMaxPascalLength = 255;

void AppendLong(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void AppendShort(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

} // namespace

void PiplWriter::AddLong(std::uint32_t key, std::uint32_t value) {
  std::vector<std::uint8_t> data;
  AppendLong(data, value);
  AddProperty(key, data);
}

void PiplWriter::AddVersionPair(std::uint32_t key, std::uint16_t major, std::uint16_t minor) {
  std::vector<std::uint8_t> data;
  AppendShort(data, major);
  AppendShort(data, minor);
  AddProperty(key, data);
}

void PiplWriter::AddPascalString(std::uint32_t key, std::string_view text) {
  if (text.size() > kMaxPascalLength) {
    throw std::invalid_argument("PiPL string of " + std::to_string(text.size()) + " bytes is longer than " +
                                std::to_string(kMaxPascalLength) + ": " + std::string(text.substr(0, 40)) + "...");
  }
  std::vector<std::uint8_t> data;
  data.push_back(static_cast<std::uint8_t>(text.size()));
  data.insert(data.end(), text.begin(), text.end());
  AddProperty(key, data);
}

void PiplWriter::AddCString(std::uint32_t key, std::string_view text) {
  if (text.find('\0') != std::string_view::npos) {
    throw std::invalid_argument("PiPL C string holds a NUL: " + std::string(text.data(), text.find('\0')));
  }
  std::vector<std::uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  AddProperty(key, data);
}

void PiplWriter::AddProperty(std::uint32_t key, const std::vector<std::uint8_t>& data) {
  const auto padded = (data.size() + 3) / 4 * 4;
  AppendLong(properties_, kVendor);
  AppendLong(properties_, key);
  AppendLong(properties_, 0); // property id
  AppendLong(properties_, static_cast<std::uint32_t>(padded));
  properties_.insert(properties_.end(), data.begin(), data.end());
  properties_.resize(properties_.size() + (padded - data.size()), 0);
  ++count_;
}

std::vector<std::uint8_t> PiplWriter::Bytes() const {
  std::vector<std::uint8_t> out;
  AppendShort(out, 1); // reserved, must come first
  AppendLong(out, 0);  // list version
  AppendLong(out, count_);
  out.insert(out.end(), properties_.begin(), properties_.end());
  return out;
}

} // namespace brantok::lumaro::ae
