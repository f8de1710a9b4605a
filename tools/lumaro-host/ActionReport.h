#pragma once

#include "HostParameters.h"
#include "ScriptedUser.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace brantok::lumaro::host {

// What `lumaro-host action` shows after the user's action, as JSON:
//   effectPath   the Effect Path parameter's text
//   effectPopup  {value (1-based), choice, choices}
//   effectId     whether the sequence's record holds an effect id
//   controls     the visible control parameters: {parameter, name, type,
//                value, disabled}; popups also give their choice's text
// DescribeDialogs adds every dialog in order: message boxes as {dialog:
// "message box", type, caption, text, answer: ok|yes|no}, file dialogs as
// {dialog: "open file"|"save file", title, file (null: cancelled)}.
nlohmann::ordered_json DescribeParameters(const HostParameters& params,
                                          const std::vector<std::uint8_t>& sequenceRecord);
nlohmann::ordered_json DescribeDialogs(const std::vector<ScriptedUser::Dialog>& dialogs);

// The report as lines of text, one per dialog, then the state.
std::string FormatActionReport(const nlohmann::ordered_json& report);

} // namespace brantok::lumaro::host
