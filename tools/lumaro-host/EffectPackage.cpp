#include "EffectPackage.h"

#include "CliError.h"
#include "core/Logger.h"
#include "core/PathText.h"
#include "correction/EffectSourceMetadata.h"
#include "correction/effects/IColorPicker.h"
#include "correction/effects/IOptionControl.h"
#include "correction/effects/IRangeControl.h"
#include "correction/effects/controls/Angle.h"
#include "correction/effects/controls/Checkbox.h"
#include "correction/effects/controls/Point.h"
#include "correction/effects/library/Entry.h"

#include <charconv>
#include <cstdlib>
#include <mutex>
#include <system_error>

namespace brantok::lumaro::host {
namespace {

using namespace correction::effects;

constexpr PF_ParamIndex kFirstControlParameter = 6;
constexpr PF_ParamIndex kParametersPerControl = 6;
constexpr PF_ParamIndex kLastParameter = 101;

// The package reader reports why it failed only through the log; the last
// error line is the reason to show.
std::string& LastReaderError() {
  static std::string text;
  return text;
}

void ListenToTheReader() {
  static std::once_flag once;
  std::call_once(once, [] {
    core::Logger::AddHandler([](core::eLogChannel channel, const std::string& message) {
      if (channel == core::eLogChannel::Error) LastReaderError() = message;
    });
  });
}

// A float as the shortest decimal that reads back as it, so 0.1f shows as 0.1.
double Tidy(float value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::strtod(std::string(text, end).c_str(), nullptr);
}

} // namespace

EffectPackage::EffectPackage(const std::filesystem::path& path) : path_(path) {
  const std::string shown = core::PathToUtf8(path);
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) throw CliError("effect package " + shown + " does not exist");

  ListenToTheReader();
  LastReaderError().clear();
  library::Entry entry(path);
  const auto source = entry.GetSource();
  if (!source) {
    throw CliError("cannot read effect package " + shown +
                   (LastReaderError().empty() ? std::string() : ": " + LastReaderError()));
  }
  try {
    const correction::EffectSourceMetadata metadata(source->metadata);
    const auto title = metadata.GetTitle();
    name_ = title && !title->empty() ? *title : entry.GetName();
    kernel_ = metadata.GetEntryPoint().value_or("");
    PF_ParamIndex position = 0;
    for (const auto& control : metadata.GetControls()) {
      eKind kind;
      if (std::dynamic_pointer_cast<IColorPicker>(control)) {
        kind = eKind::Color;
      } else if (std::dynamic_pointer_cast<IRangeControl>(control)) {
        kind = eKind::Slider;
      } else if (std::dynamic_pointer_cast<IOptionControl<int>>(control)) {
        kind = eKind::Choice;
      } else if (std::dynamic_pointer_cast<controls::Angle>(control)) {
        kind = eKind::Angle;
      } else if (std::dynamic_pointer_cast<controls::Checkbox>(control)) {
        kind = eKind::Checkbox;
      } else if (std::dynamic_pointer_cast<controls::Point>(control)) {
        kind = eKind::Point;
      } else {
        continue;
      }
      const PF_ParamIndex index = kFirstControlParameter + kParametersPerControl * position + static_cast<int>(kind);
      controls_.push_back({control, kind, index <= kLastParameter ? std::optional(index) : std::nullopt});
      ++position;
    }
  } catch (const std::exception& failure) {
    throw CliError("effect package " + shown + " has invalid metadata.json: " + failure.what());
  }
  prompt_ = entry.GetPrompt();
}

const EffectPackage::Control* EffectPackage::Find(const std::string& id) const {
  for (const auto& control : controls_) {
    if (control.control->GetId() == id) return &control;
  }
  return nullptr;
}

std::vector<PF_ParamIndex> EffectPackage::ParameterIndices() const {
  std::vector<PF_ParamIndex> indices;
  for (const auto& control : controls_) {
    if (control.parameter) indices.push_back(*control.parameter);
  }
  return indices;
}

nlohmann::json EffectPackage::Describe() const {
  nlohmann::json controls = nlohmann::json::array();
  for (const auto& [control, kind, parameter] : controls_) {
    nlohmann::json item = {{"id", control->GetId()}, {"label", control->GetLabel()}};
    item["parameter"] = parameter ? nlohmann::json(*parameter) : nlohmann::json();
    if (kind == eKind::Slider) {
      const auto& range = dynamic_cast<const IRangeControl&>(*control);
      item["kind"] = "slider";
      item["min"] = Tidy(range.GetMinimum());
      item["max"] = Tidy(range.GetMaximum());
      item["default"] = Tidy(range.GetDefaultNumber());
      item["value"] = Tidy(range.GetNumber());
    } else if (kind == eKind::Choice) {
      const auto& option = dynamic_cast<const IOptionControl<int>&>(*control);
      item["kind"] = "choice";
      item["options"] = option.GetOptions();
      item["default"] = option.GetDefaultSelection();
      item["value"] = option.GetSelection();
    } else if (kind == eKind::Angle) {
      const auto& angle = dynamic_cast<const controls::Angle&>(*control);
      item["kind"] = "angle";
      item["default"] = Tidy(angle.GetDefaultDegrees());
      item["value"] = Tidy(angle.GetDegrees());
    } else if (kind == eKind::Checkbox) {
      const auto& checkbox = dynamic_cast<const controls::Checkbox&>(*control);
      item["kind"] = "checkbox";
      item["default"] = checkbox.GetDefaultChecked();
      item["value"] = checkbox.IsChecked();
    } else if (kind == eKind::Point) {
      const auto& point = dynamic_cast<const controls::Point&>(*control);
      item["kind"] = "point";
      item["default"] = {Tidy(point.GetDefaultPosition().x), Tidy(point.GetDefaultPosition().y)};
      item["value"] = {Tidy(point.GetPosition().x), Tidy(point.GetPosition().y)};
    } else {
      // Colours start white whatever the metadata says.
      item["kind"] = "color";
      item["default"] = "#FFFFFF";
      item["value"] = "#FFFFFF";
    }
    controls.push_back(std::move(item));
  }
  return {{"name", name_},
          {"package", core::PathToUtf8(path_.filename())},
          {"kernel", kernel_},
          {"prompt", prompt_},
          {"controls", std::move(controls)}};
}

} // namespace brantok::lumaro::host
