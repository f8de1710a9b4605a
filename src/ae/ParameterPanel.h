#pragma once

#include "ae/ParameterLayout.h"
#include "ae/SlotMap.h"
#include "ae/controls/IControlParameter.h"
#include "correction/ICustomEffect.h"

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace brantok::lumaro::ae {

// The host's parameter panel as an effect fills it: one parameter per control
// shown with the control's name, range, options, default and, when asked, its
// value, the rest hidden; the Effect popup's items; and the host's values read
// back into the controls. Keeps nothing between calls. Host errors from
// PF_UpdateParamUI are cosmetic: the next parameter is still sent.
class ParameterPanel final {
public:
  // Control values that a frame may be writing are read under `renderMutex`.
  explicit ParameterPanel(std::mutex& renderMutex);

  // Host parameter values into the effect's controls, from where `slots`
  // says the host holds them; `frame` measures point parameters. The caller
  // holds the render lock.
  void SynchroniseHostToEffect(correction::ICustomEffect& effect, const SlotMap& slots, const PF_InData* inData,
                               PF_ParamDef* params[], const controls::HostFrame& frame) const;
  // Shows the effect's controls on the host (labels, ranges, options,
  // defaults); returns the indices shown. With `setValues` each control goes
  // to its own slot in order with its current value; without, each shows
  // where `slots` (when given) says the host holds its value, and one the
  // host holds no value for is shown disabled until values are next written.
  std::unordered_set<int> SynchroniseEffectToHost(PF_InData* inData, PF_OutData* outData,
                                                  const correction::ICustomEffect& effect, PF_ParamDef* params[],
                                                  bool setValues, const SlotMap* slots = nullptr) const;
  // Before `effect` replaces `previous` as the clip's effect (a new version
  // of the same package): each of its controls takes the clip's value of the
  // previous control of the same id and kind, read from the host where the
  // clip holds it; new controls keep their starting values. Without a
  // previous effect the host's values are read in `effect`'s own layout.
  void KeepClipValues(const PF_InData* inData, PF_ParamDef* params[], correction::ICustomEffect& effect,
                      correction::ICustomEffect* previous, const SlotMap* previousSlots) const;
  bool UpdatePopup(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], A_long index,
                   const std::vector<std::string>& choices, std::optional<A_short> newDefault,
                   const std::optional<std::string>& newName) const;

  // The Effect popup's value (None when the host has no popup there), and a
  // new one for the host to take.
  A_long GetPopup(const PF_InData* inData, PF_ParamDef* params[]) const;
  void SetPopup(PF_InData* inData, PF_ParamDef* params[], A_long value) const;
  // The Effect popup's items for the effect at `path` (or for none); a `note`
  // follows the effect's name in brackets ("Dusk (cannot run)").
  void RebuildPopup(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[],
                    const std::optional<std::filesystem::path>& path, const std::string& note = {}) const;
  void HideParams(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], std::vector<A_long> indices) const;

private:
  std::mutex& renderMutex_;
};

} // namespace brantok::lumaro::ae
