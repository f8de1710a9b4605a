#include "ControlValues.h"

#include "CliError.h"
#include "correction/effects/IOptionControl.h"
#include "correction/effects/IRangeControl.h"
#include "correction/effects/controls/Angle.h"
#include "correction/effects/controls/Checkbox.h"
#include "correction/effects/controls/Point.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace brantok::lumaro::host {
namespace {

using namespace correction::effects;

std::optional<double> ParseNumber(const std::string& text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<PF_Pixel> ParseColor(const std::string& text) {
  if (text.size() != 7 || text[0] != '#') return std::nullopt;
  unsigned channels[3];
  for (int c = 0; c < 3; ++c) {
    const char* first = text.data() + 1 + 2 * c;
    const auto [end, error] = std::from_chars(first, first + 2, channels[c], 16);
    if (error != std::errc() || end != first + 2) return std::nullopt;
  }
  return PF_Pixel{255, static_cast<A_u_char>(channels[0]), static_cast<A_u_char>(channels[1]),
                  static_cast<A_u_char>(channels[2])};
}

std::string Text(double value) {
  std::ostringstream text;
  text << value;
  return text.str();
}

// Hosts keep angles and point coordinates as 16.16 fixed point.
constexpr double kFixedLimit = 32767.0;
double AsStored(double value) { return std::round(value * 65536.0) / 65536.0; }

} // namespace

ControlValues::ControlValues(const EffectPackage& package) : package_(package) {
  for (const auto& [control, kind, parameter] : package.Controls()) {
    if (!parameter) continue;
    Value value{*parameter, kind};
    if (kind == EffectPackage::eKind::Slider) {
      value.number = dynamic_cast<const IRangeControl&>(*control).GetNumber();
    } else if (kind == EffectPackage::eKind::Choice) {
      value.choice = dynamic_cast<const IOptionControl<int>&>(*control).GetSelection() + 1;
    } else if (kind == EffectPackage::eKind::Angle) {
      value.number = dynamic_cast<const controls::Angle&>(*control).GetDegrees();
    } else if (kind == EffectPackage::eKind::Checkbox) {
      value.checked = dynamic_cast<const controls::Checkbox&>(*control).IsChecked();
    } else if (kind == EffectPackage::eKind::Point) {
      const auto position = dynamic_cast<const controls::Point&>(*control).GetPosition();
      value.x = position.x;
      value.y = position.y;
    } else {
      value.color = PF_Pixel{255, 255, 255, 255};
    }
    values_.push_back(value);
  }
}

void ControlValues::Set(const std::string& assignment) {
  const auto equals = assignment.find('=');
  if (equals == std::string::npos || equals == 0) {
    throw CliError("--set needs ID=VALUE, not '" + assignment + "'");
  }
  const std::string id = assignment.substr(0, equals);
  const std::string text = assignment.substr(equals + 1);
  const auto* control = package_.Find(id);
  if (!control) {
    std::string known;
    for (const auto& item : package_.Controls()) known += (known.empty() ? "" : ", ") + item.control->GetId();
    throw CliError("unknown control id '" + id + "' (" + package_.Name() + " has " +
                   (known.empty() ? std::string("no controls") : known) + ")");
  }
  if (!control->parameter) throw CliError("control '" + id + "' has no host parameter (only the first 16 do)");
  auto value =
      std::find_if(values_.begin(), values_.end(), [&](const Value& v) { return v.index == *control->parameter; });

  switch (control->kind) {
  case EffectPackage::eKind::Slider: {
    const auto& range = dynamic_cast<const IRangeControl&>(*control->control);
    const auto number = ParseNumber(text);
    if (!number) throw CliError("slider '" + id + "' needs a number, not '" + text + "'");
    if (*number < range.GetMinimum() || *number > range.GetMaximum()) {
      throw CliError("slider '" + id + "' takes " + Text(range.GetMinimum()) + " to " + Text(range.GetMaximum()) +
                     ", not " + text);
    }
    value->number = *number;
    break;
  }
  case EffectPackage::eKind::Color: {
    const auto color = ParseColor(text);
    if (!color) throw CliError("colour '" + id + "' needs #RRGGBB, not '" + text + "'");
    value->color = *color;
    break;
  }
  case EffectPackage::eKind::Choice: {
    const auto& options = dynamic_cast<const IOptionControl<int>&>(*control->control).GetOptions();
    const auto named = std::find(options.begin(), options.end(), text);
    if (named != options.end()) {
      value->choice = static_cast<A_long>(named - options.begin()) + 1;
      break;
    }
    std::size_t index = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), index);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || index >= options.size()) {
      std::string known;
      for (const auto& option : options) known += (known.empty() ? "'" : ", '") + option + "'";
      throw CliError("choice '" + id + "' has no option '" + text + "' (options " + known + ", or 0 to " +
                     std::to_string(options.empty() ? 0 : options.size() - 1) + ")");
    }
    value->choice = static_cast<A_long>(index) + 1;
    break;
  }
  case EffectPackage::eKind::Checkbox: {
    if (text == "true" || text == "1") {
      value->checked = true;
    } else if (text == "false" || text == "0") {
      value->checked = false;
    } else {
      throw CliError("checkbox '" + id + "' needs true, false, 1 or 0, not '" + text + "'");
    }
    break;
  }
  case EffectPackage::eKind::Angle: {
    const auto degrees = ParseNumber(text);
    if (!degrees) throw CliError("angle '" + id + "' needs a number of degrees, not '" + text + "'");
    if (std::abs(*degrees) > kFixedLimit) {
      throw CliError("angle '" + id + "' takes -32767 to 32767 degrees (what a host can store), not " + text);
    }
    value->number = *degrees;
    break;
  }
  case EffectPackage::eKind::Point: {
    const auto comma = text.find(',');
    const auto x = ParseNumber(text.substr(0, comma));
    const auto y = comma == std::string::npos ? std::nullopt : ParseNumber(text.substr(comma + 1));
    if (!x || !y) throw CliError("point '" + id + "' needs x,y as fractions of the frame, not '" + text + "'");
    value->x = *x;
    value->y = *y;
    break;
  }
  }
}

std::string ControlValues::Describe() const {
  std::string line = package_.Name();
  const char* separator = ": ";
  for (const auto& value : values_) {
    const auto control = std::find_if(package_.Controls().begin(), package_.Controls().end(),
                                      [&](const auto& item) { return item.parameter == value.index; });
    line += separator + control->control->GetLabel() + " ";
    separator = "; ";
    switch (value.kind) {
    case EffectPackage::eKind::Slider:
      line += Text(value.number);
      break;
    case EffectPackage::eKind::Angle:
      line += Text(value.number) + " deg";
      break;
    case EffectPackage::eKind::Color: {
      char hex[8];
      std::snprintf(hex, sizeof hex, "#%02X%02X%02X", value.color.red, value.color.green, value.color.blue);
      line += hex;
      break;
    }
    case EffectPackage::eKind::Choice:
      line += dynamic_cast<const IOptionControl<int>&>(*control->control)
                  .GetOptions()
                  .at(static_cast<std::size_t>(value.choice - 1));
      break;
    case EffectPackage::eKind::Checkbox:
      line += value.checked ? "on" : "off";
      break;
    case EffectPackage::eKind::Point:
      line += Text(value.x) + "," + Text(value.y);
      break;
    }
  }
  return line;
}

void ControlValues::ApplyTo(HostParameters& params, A_long width, A_long height) {
  for (auto& value : values_) {
    switch (value.kind) {
    case EffectPackage::eKind::Slider:
      params.SetFloatSliderValue(value.index, value.number);
      break;
    case EffectPackage::eKind::Color:
      params.SetColorValue(value.index, value.color);
      break;
    case EffectPackage::eKind::Choice:
      params.SetPopupValue(value.index, value.choice);
      break;
    case EffectPackage::eKind::Angle:
      params.SetAngleValue(value.index, value.number);
      value.number = AsStored(value.number);
      break;
    case EffectPackage::eKind::Checkbox:
      params.SetCheckboxValue(value.index, value.checked);
      break;
    case EffectPackage::eKind::Point: {
      // The host keeps points in the layer's pixels.
      const double x = value.x * width;
      const double y = value.y * height;
      if (std::abs(x) > kFixedLimit || std::abs(y) > kFixedLimit) {
        const auto& control = *std::find_if(package_.Controls().begin(), package_.Controls().end(),
                                            [&](const auto& item) { return item.parameter == value.index; });
        throw CliError("point '" + control.control->GetId() + "' at " + Text(value.x) + "," + Text(value.y) +
                       " lies beyond the 32767 pixels a host can store on a " + std::to_string(width) + "x" +
                       std::to_string(height) + " layer");
      }
      params.SetPointValue(value.index, x, y);
      value.x = width > 0 ? AsStored(x) / width : value.x;
      value.y = height > 0 ? AsStored(y) / height : value.y;
      break;
    }
    }
  }
}

} // namespace brantok::lumaro::host
