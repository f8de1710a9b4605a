#pragma once

#include "ae/sdk/EffectApi.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace brantok::lumaro::correction::effects {
class IControl;
}

namespace brantok::lumaro::ae {

// The host parameter kinds of one control slot, in slot order.
enum class eControl : std::int32_t {
  ColorPicker = 0,
  Slider = 1,
  Choice = 2,
  Angle = 3,
  Checkbox = 4,
  Point = 5,
};

// The fixed parameter list: five parameters of the plug-in's own, then
// sixteen control slots of six parameters each. Index 0 is the host's input
// layer; the id given to the host equals the index.
struct ParameterLayout {
  static constexpr A_long VersionButton = 1;
  static constexpr A_long SyncButton = 2;
  static constexpr A_long EffectPopup = 3;
  static constexpr A_long EffectPath = 4;
  static constexpr A_long Information = 5;
  static constexpr A_long FirstControlParam = 6;
  static constexpr A_long ControlSlots = 16;
  static constexpr A_long KindsPerSlot = 6;
  static constexpr A_long LastControlParam = FirstControlParam + ControlSlots * KindsPerSlot - 1;
  static constexpr A_long ParamCount = LastControlParam; // without the input layer

  // Values of the Effect popup (1-based).
  static constexpr A_long PopupNone = 1;
  static constexpr A_long PopupBrowse = 2;
  static constexpr A_long PopupSeparator = 3;
  static constexpr A_long PopupEffect = 4;

  // Size of the Effect Path block kept in projects.
  static constexpr std::size_t EffectPathSize = 2048;

  // The most choices a host popup counts (its count is 16 bits, signed).
  static constexpr std::size_t MaxPopupChoices = 0x7FFF;
};

using ControlFunction =
    std::function<void(const std::shared_ptr<correction::effects::IControl>& control, A_long index, eControl kind)>;

// Throws std::invalid_argument("Unknown control type") for a control of no
// known interface.
eControl GetControlKind(const std::shared_ptr<correction::effects::IControl>& control);
const std::set<eControl>& GetControlKinds();
const std::set<A_long>& GetControlParamIndices();

// Calls `fn` for each control that has a parameter slot, with its parameter
// index. Controls beyond the last slot have no parameter; they keep their
// own values, which still reach the kernel.
void ForEachControl(const std::vector<std::shared_ptr<correction::effects::IControl>>& controls,
                    const ControlFunction& fn);

// "None", "Browse...", then "(-" and the effect file's stem when a path is
// known, else two empty items.
std::array<std::string, 4> BuildEffectChoices(const std::optional<std::filesystem::path>& path);

// Choices as the host's popup names string: items joined by '|', the first
// MaxPopupChoices only, so that the names never list more than the count.
std::string JoinChoices(const std::vector<std::string>& choices);

// Copies `name` into a parameter's 32-byte name field, cut to fit.
void SetParamName(PF_ParamDef& def, const std::string& name);

// The host's definition of `index`, or null when the host has fewer
// parameters (a setup that failed half-way) or none at that place.
PF_ParamDef* FindParam(const PF_InData* inData, PF_ParamDef* params[], A_long index);
// The same, and null too when the parameter there is not of `type`.
PF_ParamDef* FindParamOfType(const PF_InData* inData, PF_ParamDef* params[], A_long index, PF_ParamType type);

} // namespace brantok::lumaro::ae
