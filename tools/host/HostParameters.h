#pragma once

#include "ae/sdk/EffectApi.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace brantok::lumaro::host {

// The host's copy of the effect's parameters: index 0 is the input layer,
// 1..n what the plug-in added, in order. Array() is the params argument of
// every command, so values the plug-in writes into it stay, as in a real host.
//
// Adding copies the definition the way a host does: popup choices and button
// or checkbox labels are copied (the plug-in's pointer may die after the
// call), and an arbitrary-data parameter's default handle becomes the host's,
// with a host-made copy of it as the value. Those handles are disposed with
// this object.
//
// uu is a union of the parameter's id and its change flags; the host clears
// the change flags before each command, so the ids are kept apart (Id()).
//
// Not thread-safe on its own; EffectHost serialises access.
class HostParameters {
public:
  HostParameters();
  ~HostParameters();
  HostParameters(const HostParameters&) = delete;
  HostParameters& operator=(const HostParameters&) = delete;

  // add_param: index -1 (or Count()) appends; any other index gives
  // PF_Err_INVALID_INDEX. PF_Err_OUT_OF_MEMORY when the value handle of an
  // arbitrary-data parameter cannot be made.
  PF_Err Add(PF_ParamIndex index, const PF_ParamDef& def);

  // What PF_UpdateParamUI changes in the host's copy: UI flags, UI size, name,
  // the collapse flag; slider ranges, precision, display flags and default;
  // colour default; popup choices (copied), count and default. Never values.
  // PF_Err_INVALID_INDEX outside 1..Count()-1, PF_Err_BAD_CALLBACK_PARAM when
  // the type differs from the added one or the name has no terminator.
  PF_Err ApplyUIUpdate(PF_ParamIndex index, const PF_ParamDef& def);

  // Including the input layer.
  std::size_t Count() const { return defs_.size(); }
  // Stays valid while Count() <= kReservedParams.
  PF_ParamDef** Array() { return pointers_.data(); }
  static constexpr std::size_t kReservedParams = 1024;
  PF_ParamDef& At(PF_ParamIndex index);
  const PF_ParamDef& At(PF_ParamIndex index) const;
  A_long Id(PF_ParamIndex index) const;
  // The first parameter with this name.
  std::optional<PF_ParamIndex> Find(const std::string& name) const;
  // The host's copy of a popup's choices or a button or checkbox label.
  std::string Text(PF_ParamIndex index) const;

  void SetInputLayer(const PF_LayerDef& layer);
  void ClearChangeFlags();
  // Parameters whose change flags hold PF_ChangeFlag_CHANGED_VALUE.
  std::vector<PF_ParamIndex> ChangedValues() const;

  // Value setters for tests and the command line; they throw
  // std::invalid_argument when the parameter is of another type, and
  // std::out_of_range for an angle or point the host's fixed point cannot hold.
  void SetPopupValue(PF_ParamIndex index, A_long value); // 1-based choice
  void SetFloatSliderValue(PF_ParamIndex index, double value);
  void SetColorValue(PF_ParamIndex index, const PF_Pixel& value);
  void SetAngleValue(PF_ParamIndex index, double degrees);
  void SetCheckboxValue(PF_ParamIndex index, bool value);
  void SetPointValue(PF_ParamIndex index, double x, double y);

  // The value handle of an arbitrary-data parameter: its bytes, and its bytes
  // up to the first zero as text. WriteArbitraryText stores text, a zero and
  // zero fill, in a value of the default's size; false when that does not fit
  // or there is no value handle.
  std::vector<std::uint8_t> ArbitraryBytes(PF_ParamIndex index) const;
  std::string ReadArbitraryText(PF_ParamIndex index) const;
  bool WriteArbitraryText(PF_ParamIndex index, const std::string& text);

  // Handles this object owns (arbitrary-data defaults and values).
  std::size_t OwnedHandleCount() const;

private:
  PF_ParamDef& Checked(PF_ParamIndex index, PF_ParamType type);
  void PointTextAtCopy(std::size_t index);

  std::deque<PF_ParamDef> defs_;
  std::deque<std::string> texts_;
  std::vector<A_long> ids_;
  std::vector<PF_ParamDef*> pointers_;
  std::vector<PF_Handle> ownedHandles_;
};

} // namespace brantok::lumaro::host
