#include "ActionReport.h"

#include "core/PathText.h"

#include <algorithm>
#include <cstdio>
#include <iomanip>
#include <sstream>

namespace brantok::lumaro::host {
namespace {

constexpr PF_ParamIndex kEffectPopup = 3;
constexpr PF_ParamIndex kEffectPath = 4;
constexpr PF_ParamIndex kFirstControl = 6;
// The record's version takes its first 16 bytes, the effect id the next 16.
constexpr std::size_t kIdOffset = 16;
constexpr std::size_t kIdSize = 16;

// Every item of the host's "a|b||" string, empty ones included.
std::vector<std::string> Choices(const std::string& joined) {
  std::vector<std::string> choices;
  std::size_t start = 0;
  for (std::size_t bar; (bar = joined.find('|', start)) != std::string::npos; start = bar + 1) {
    choices.push_back(joined.substr(start, bar - start));
  }
  choices.push_back(joined.substr(start));
  return choices;
}

std::string ChoiceText(const std::vector<std::string>& choices, A_long value) {
  if (value < 1 || static_cast<std::size_t>(value) > choices.size()) return {};
  return choices[static_cast<std::size_t>(value) - 1];
}

double FromFixed(PF_Fixed value) { return static_cast<double>(value) / 65536.0; }

std::string Hex(const PF_Pixel& pixel) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", pixel.red, pixel.green, pixel.blue);
  return text;
}

// The parameter's type and value, or null for a type the plug-in never shows.
nlohmann::ordered_json DescribeControl(const HostParameters& params, PF_ParamIndex index) {
  const PF_ParamDef& def = params.At(index);
  nlohmann::ordered_json control = {
      {"parameter", index}, {"name", std::string(def.name, std::find(def.name, def.name + sizeof def.name, '\0'))}};
  switch (def.param_type) {
  case PF_Param_FLOAT_SLIDER:
    control["type"] = "slider";
    control["value"] = def.u.fs_d.value;
    break;
  case PF_Param_COLOR:
    control["type"] = "color";
    control["value"] = Hex(def.u.cd.value);
    break;
  case PF_Param_POPUP:
    control["type"] = "popup";
    control["value"] = def.u.pd.value;
    control["choice"] = ChoiceText(Choices(params.Text(index)), def.u.pd.value);
    break;
  case PF_Param_ANGLE:
    control["type"] = "angle";
    control["value"] = FromFixed(def.u.ad.value);
    break;
  case PF_Param_CHECKBOX:
    control["type"] = "checkbox";
    control["value"] = def.u.bd.value != 0;
    break;
  case PF_Param_POINT:
    control["type"] = "point";
    control["value"] = {FromFixed(def.u.td.x_value), FromFixed(def.u.td.y_value)};
    break;
  default:
    control["type"] = "other";
    control["value"] = nullptr;
    break;
  }
  control["disabled"] = (def.ui_flags & PF_PUI_DISABLED) != 0;
  return control;
}

std::string TypeName(core::eMessageBoxType type) {
  switch (type) {
  case core::eMessageBoxType::Information:
    return "information";
  case core::eMessageBoxType::Error:
    return "error";
  case core::eMessageBoxType::Warning:
    return "warning";
  case core::eMessageBoxType::Question:
    return "question";
  }
  return "plain";
}

std::string AnswerName(core::eMessageBoxResult result) {
  switch (result) {
  case core::eMessageBoxResult::Yes:
    return "yes";
  case core::eMessageBoxResult::No:
    return "no";
  case core::eMessageBoxResult::None:
    break;
  }
  return "ok";
}

// Line breaks as "\n", so that each dialog stays on one line.
std::string OneLine(const std::string& text) {
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    line += text[i] == '\n' || text[i] == '\r' ? std::string("\\n") : std::string(1, text[i]);
  }
  return line;
}

std::string Number(const nlohmann::ordered_json& value) {
  std::ostringstream text;
  text << value.get<double>();
  return text.str();
}

std::string ValueText(const nlohmann::ordered_json& control) {
  const auto& value = control["value"];
  const std::string type = control["type"].get<std::string>();
  if (type == "slider" || type == "angle") return Number(value);
  if (type == "color") return value.get<std::string>();
  if (type == "popup") return std::to_string(value.get<int>()) + " " + control["choice"].get<std::string>();
  if (type == "checkbox") return value.get<bool>() ? "on" : "off";
  if (type == "point") return Number(value[0]) + "," + Number(value[1]);
  return "-";
}

} // namespace

nlohmann::ordered_json DescribeParameters(const HostParameters& params,
                                          const std::vector<std::uint8_t>& sequenceRecord) {
  const auto choices = Choices(params.Text(kEffectPopup));
  const A_long popup = params.At(kEffectPopup).u.pd.value;
  nlohmann::ordered_json controls = nlohmann::ordered_json::array();
  for (auto index = kFirstControl; index < static_cast<PF_ParamIndex>(params.Count()); ++index) {
    if (params.At(index).ui_flags & PF_PUI_INVISIBLE) continue;
    controls.push_back(DescribeControl(params, index));
  }
  // All 0xFF is the plug-in's mark for an effect the user turned off.
  const auto id = sequenceRecord.begin() + kIdOffset;
  const bool hasId = sequenceRecord.size() >= kIdOffset + kIdSize &&
                     std::any_of(id, id + kIdSize, [](std::uint8_t byte) { return byte != 0; }) &&
                     !std::all_of(id, id + kIdSize, [](std::uint8_t byte) { return byte == 0xFF; });
  return {{"effectPath", params.ReadArbitraryText(kEffectPath)},
          {"effectPopup", {{"value", popup}, {"choice", ChoiceText(choices, popup)}, {"choices", choices}}},
          {"effectId", hasId},
          {"controls", std::move(controls)}};
}

nlohmann::ordered_json DescribeDialogs(const std::vector<ScriptedUser::Dialog>& dialogs) {
  nlohmann::ordered_json described = nlohmann::ordered_json::array();
  for (const auto& dialog : dialogs) {
    if (dialog.kind == ScriptedUser::Dialog::eKind::MessageBox) {
      described.push_back({{"dialog", "message box"},
                           {"type", TypeName(dialog.type)},
                           {"caption", dialog.caption},
                           {"text", dialog.text},
                           {"answer", AnswerName(dialog.result)}});
    } else {
      described.push_back(
          {{"dialog", dialog.kind == ScriptedUser::Dialog::eKind::OpenFile ? "open file" : "save file"},
           {"title", dialog.caption},
           {"file", dialog.file ? nlohmann::ordered_json(core::PathToUtf8(*dialog.file)) : nlohmann::ordered_json()}});
    }
  }
  return described;
}

std::string FormatActionReport(const nlohmann::ordered_json& report) {
  std::ostringstream text;
  text << "action:       " << report["action"].get<std::string>() << "\n";
  for (const auto& dialog : report["dialogs"]) {
    const std::string kind = dialog["dialog"].get<std::string>();
    if (kind == "message box") {
      text << "message box:  (" << dialog["type"].get<std::string>() << ") "
           << OneLine(dialog["caption"].get<std::string>()) << ": " << OneLine(dialog["text"].get<std::string>())
           << " -> " << dialog["answer"].get<std::string>() << "\n";
    } else {
      text << kind << ":    " << OneLine(dialog["title"].get<std::string>()) << " -> "
           << (dialog["file"].is_null() ? std::string("cancelled") : dialog["file"].get<std::string>()) << "\n";
    }
  }
  const std::string path = report["effectPath"].get<std::string>();
  text << "effect path:  " << (path.empty() ? std::string("(empty)") : path) << "\n";
  const auto& popup = report["effectPopup"];
  text << "effect popup: " << popup["value"].get<int>() << " " << popup["choice"].get<std::string>() << " (";
  bool first = true;
  for (const auto& choice : popup["choices"]) {
    text << (first ? "" : " | ") << choice.get<std::string>();
    first = false;
  }
  text << ")\n";
  text << "effect id:    " << (report["effectId"].get<bool>() ? "yes" : "no") << "\n";
  text << "controls:     " << report["controls"].size() << "\n";
  for (const auto& control : report["controls"]) {
    text << "  " << std::left << std::setw(4) << control["parameter"].get<int>() << std::setw(8)
         << control["type"].get<std::string>() << std::right << "\"" << control["name"].get<std::string>()
         << "\" = " << ValueText(control) << (control["disabled"].get<bool>() ? "  (disabled)" : "") << "\n";
  }
  if (!report["unused"].empty()) {
    text << "unused:      ";
    for (const auto& option : report["unused"]) text << " " << option.get<std::string>();
    text << "\n";
  }
  return text.str();
}

} // namespace brantok::lumaro::host
