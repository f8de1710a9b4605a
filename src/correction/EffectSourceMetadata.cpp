#include "correction/EffectSourceMetadata.h"

#include "correction/effects/controls/Angle.h"
#include "correction/effects/controls/Checkbox.h"
#include "correction/effects/controls/Choice.h"
#include "correction/effects/controls/ColorPicker.h"
#include "correction/effects/controls/Point.h"
#include "correction/effects/controls/Slider.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace brantok::lumaro::correction {
namespace {

using effects::controls::Angle;
using effects::controls::Checkbox;
using effects::controls::Choice;
using effects::controls::ColorPicker;
using effects::controls::Point;
using effects::controls::Slider;
using nlohmann::json;

std::optional<std::string> OptionalString(const json& document, const char* key) {
  const auto found = document.find(key);
  if (found == document.end() || !found->is_string()) return std::nullopt;
  return found->get<std::string>();
}

// An option index read the library's way (numbers and booleans, floating point
// truncated toward zero), except that a floating-point value beyond the 32-bit
// range saturates instead of being undefined.
std::int32_t ReadIndex(const json& value) {
  if (value.is_number_float()) {
    using Limits = std::numeric_limits<std::int32_t>;
    return static_cast<std::int32_t>(std::clamp(std::trunc(value.get<double>()), static_cast<double>(Limits::min()),
                                                static_cast<double>(Limits::max())));
  }
  return value.get<std::int32_t>();
}

std::shared_ptr<effects::IControl> MakeSlider(const json& element, std::string id, std::string label) {
  const auto minimum = element.at("min").get<float>();
  const auto maximum = element.at("max").get<float>();
  const auto defaultValue = element.at("default").get<float>();
  const auto initial = element.find("initial");
  if (initial != element.end() && initial->is_number()) {
    return std::make_shared<Slider>(std::move(id), std::move(label), minimum, maximum, initial->get<float>(),
                                    defaultValue);
  }
  return std::make_shared<Slider>(std::move(id), std::move(label), minimum, maximum, defaultValue);
}

std::shared_ptr<effects::IControl> MakeChoice(const json& element, std::string id, std::string label) {
  auto options = element.at("options").get<std::vector<std::string>>();
  const auto defaultSelection = ReadIndex(element.at("default"));
  // A popup with nothing to choose has no value the kernel could receive.
  if (options.empty()) throw std::invalid_argument("Choice control '" + id + "' has no options");
  const auto initial = element.find("initial");
  if (initial != element.end() && initial->is_number_integer()) {
    return std::make_shared<Choice>(std::move(id), std::move(label), std::move(options), ReadIndex(*initial),
                                    defaultSelection);
  }
  return std::make_shared<Choice>(std::move(id), std::move(label), std::move(options), defaultSelection);
}

// The starting value of a control: "initial" when it is given and reads as the
// control's kind of value, else the default.
template <typename T, typename Read>
T Initial(const json& element, const T& defaultValue, Read read) {
  const auto initial = element.find("initial");
  if (initial == element.end()) return defaultValue;
  return read(*initial).value_or(defaultValue);
}

std::optional<bool> ReadSwitch(const json& value) {
  if (value.is_boolean()) return value.get<bool>();
  if (value.is_number() && (value.get<double>() == 0.0 || value.get<double>() == 1.0))
    return value.get<double>() != 0.0;
  return std::nullopt;
}

std::optional<float> ReadFinite(const json& value) {
  if (!value.is_number()) return std::nullopt;
  const double number = value.get<double>();
  if (!std::isfinite(number) || std::abs(number) > std::numeric_limits<float>::max()) return std::nullopt;
  return static_cast<float>(number);
}

std::optional<effects::Position> ReadPosition(const json& value) {
  if (!value.is_array() || value.size() != 2) return std::nullopt;
  const auto x = ReadFinite(value[0]);
  const auto y = ReadFinite(value[1]);
  if (!x || !y) return std::nullopt;
  return effects::Position{*x, *y};
}

// The default of a checkbox, angle or point: required, and of the kind's own
// form; anything else fails the whole metadata like a mistyped slider range.
template <typename Read>
auto RequiredDefault(const json& element, const std::string& id, Read read, const char* needed) {
  const auto value = read(element.at("default"));
  if (!value) throw std::invalid_argument("Control '" + id + "' needs a default of " + needed);
  return *value;
}

std::shared_ptr<effects::IControl> MakeCheckbox(const json& element, std::string id, std::string label) {
  const bool checked = RequiredDefault(element, id, ReadSwitch, "true, false, 0 or 1");
  return std::make_shared<Checkbox>(std::move(id), std::move(label), Initial(element, checked, ReadSwitch), checked);
}

std::shared_ptr<effects::IControl> MakeAngle(const json& element, std::string id, std::string label) {
  const float degrees = RequiredDefault(element, id, ReadFinite, "a finite number of degrees");
  const float initial = Initial(element, degrees, ReadFinite);
  for (const float value : {degrees, initial}) {
    if (std::abs(value) > Angle::MaxDegrees) {
      std::ostringstream text;
      text << "Angle control '" << id << "': " << value << " degrees lies outside the -" << Angle::MaxDegrees << " to "
           << Angle::MaxDegrees << " degrees a host can store";
      throw std::invalid_argument(text.str());
    }
  }
  return std::make_shared<Angle>(std::move(id), std::move(label), initial, degrees);
}

std::shared_ptr<effects::IControl> MakePoint(const json& element, std::string id, std::string label) {
  const auto position = RequiredDefault(element, id, ReadPosition, "[x, y] with finite fractions of the frame");
  return std::make_shared<Point>(std::move(id), std::move(label), Initial(element, position, ReadPosition), position);
}

std::shared_ptr<effects::IControl> MakeControl(const json& element) {
  if (!element.is_object()) return nullptr;
  // The order of these checks decides which malformed elements are skipped
  // and which throw.
  if (!element.contains("class")) return nullptr;
  const auto id = element.find("id");
  if (id == element.end() || !id->is_string()) return nullptr;
  const auto label = element.find("label");
  if (label == element.end() || !label->is_string()) return nullptr;

  auto idText = id->get<std::string>();
  auto labelText = label->get<std::string>();
  const auto controlClass = element.at("class").get<std::string>();
  if (controlClass == "slider") return MakeSlider(element, std::move(idText), std::move(labelText));
  if (controlClass == "color") {
    return std::make_shared<ColorPicker>(std::move(idText), std::move(labelText),
                                         effects::Color{1.0f, 1.0f, 1.0f, 1.0f});
  }
  if (controlClass == "choice") return MakeChoice(element, std::move(idText), std::move(labelText));
  if (controlClass == "checkbox") return MakeCheckbox(element, std::move(idText), std::move(labelText));
  if (controlClass == "angle") return MakeAngle(element, std::move(idText), std::move(labelText));
  if (controlClass == "point") return MakePoint(element, std::move(idText), std::move(labelText));
  return nullptr;
}

} // namespace

EffectSourceMetadata::EffectSourceMetadata(const std::string& jsonText) {
  const json document = json::parse(jsonText);
  if (!document.is_object()) return;

  title_ = OptionalString(document, "title");
  entryPoint_ = OptionalString(document, "kernel");

  const auto controls = document.find("controls");
  if (controls == document.end() || !controls->is_array()) return;
  for (const auto& element : *controls) {
    if (auto control = MakeControl(element)) controls_.push_back(std::move(control));
  }
}

std::optional<std::string> EffectSourceMetadata::GetTitle() const { return title_; }
std::optional<std::string> EffectSourceMetadata::GetEntryPoint() const { return entryPoint_; }
const std::vector<std::shared_ptr<effects::IControl>>& EffectSourceMetadata::GetControls() const { return controls_; }

} // namespace brantok::lumaro::correction
