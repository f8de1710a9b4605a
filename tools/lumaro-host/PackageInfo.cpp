#include "PackageInfo.h"

#include "correction/EffectSourceMetadata.h"
#include "correction/effects/IColorPicker.h"
#include "correction/effects/IOptionControl.h"
#include "correction/effects/IRangeControl.h"
#include "correction/effects/library/Entry.h"

#include <sstream>
#include <stdexcept>

namespace brantok::lumaro::host {
namespace {

using namespace correction;
using namespace correction::effects;

nlohmann::json DescribeControl(const IControl& control) {
  nlohmann::json result = {{"id", control.GetId()}, {"label", control.GetLabel()}};
  if (const auto* range = dynamic_cast<const IRangeControl*>(&control)) {
    result["kind"] = "slider";
    result["min"] = range->GetMinimum();
    result["max"] = range->GetMaximum();
    result["default"] = range->GetDefaultNumber();
    result["value"] = range->GetNumber();
  } else if (const auto* color = dynamic_cast<const IColorPicker*>(&control)) {
    const auto c = color->GetDefaultColor();
    result["kind"] = "color";
    result["default"] = {c.red, c.green, c.blue, c.alpha};
  } else if (const auto* option = dynamic_cast<const IOptionControl<int>*>(&control)) {
    result["kind"] = "choice";
    result["options"] = option->GetOptions();
    result["default"] = option->GetDefaultSelection();
    result["value"] = option->GetSelection();
  }
  return result;
}

std::string Number(const nlohmann::json& value) {
  std::ostringstream text;
  text << value.get<double>();
  return text.str();
}

} // namespace

nlohmann::json ReadPackageInfo(const std::filesystem::path& package) {
  library::Entry entry(package);
  const auto source = entry.GetSource();
  // The reader has logged the reason; the caller shows the log's last error.
  if (!source) throw std::runtime_error("cannot read effect package " + package.string());

  const EffectSourceMetadata metadata(source->metadata);
  nlohmann::json controls = nlohmann::json::array();
  for (const auto& control : metadata.GetControls()) controls.push_back(DescribeControl(*control));
  const auto title = metadata.GetTitle();
  return {{"name", title && !title->empty() ? *title : entry.GetName()},
          {"package", package.filename().string()},
          {"kernel", metadata.GetEntryPoint().value_or("")},
          {"prompt", entry.GetPrompt()},
          {"controls", controls}};
}

std::string FormatPackageInfo(const nlohmann::json& info) {
  std::ostringstream text;
  text << info["name"].get<std::string>() << " (" << info["package"].get<std::string>() << ")\n";
  text << "  kernel:   " << info["kernel"].get<std::string>() << "\n";
  text << "  prompt:   " << info["prompt"].get<std::string>();
  if (info["prompt"].get<std::string>().empty() || info["prompt"].get<std::string>().back() != '\n') text << "\n";
  text << "  controls: " << info["controls"].size() << "\n";
  for (const auto& control : info["controls"]) {
    text << "    " << control["id"].get<std::string>() << "  " << control.value("kind", "?") << "  \""
         << control["label"].get<std::string>() << "\"  ";
    const std::string kind = control.value("kind", "");
    if (kind == "slider") {
      text << "range " << Number(control["min"]) << " to " << Number(control["max"]) << ", default "
           << Number(control["default"]);
    } else if (kind == "choice") {
      text << "options";
      for (const auto& option : control["options"]) text << " '" << option.get<std::string>() << "'";
      text << ", default " << control["default"].get<int>();
    } else if (kind == "color") {
      text << "default white";
    }
    text << "\n";
  }
  return text.str();
}

} // namespace brantok::lumaro::host
