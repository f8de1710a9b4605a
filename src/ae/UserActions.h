#pragma once

#include "ae/sdk/EffectApi.h"

#include <filesystem>
#include <string>
#include <unordered_set>

namespace brantok::lumaro::correction {
class ICustomEffect;
}

namespace brantok::lumaro::ae {

class LumaroEffect;
class ParameterPanel;
struct SequenceData;

// What the user does in the effect's panel: the update and sync buttons and
// the Effect popup's items, with the dialogs and boxes they bring. Each route
// ends with the Effect Path, the sequence's effect, the popup and the visible
// parameters in line with the effect now in use. Runs on the host's UI
// thread; the effect map is touched only through the instance.
class UserActions final {
public:
  UserActions(LumaroEffect& instance, const ParameterPanel& panel);

  // "Sync From Lumaro": takes over the package the desktop application shared.
  PF_Err ReceiveSharedEffect(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], SequenceData& record);
  // The Effect popup's new value: None, Browse..., or the stored effect again.
  PF_Err ChangeEffect(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], SequenceData& record);
  // At the clip's first user action after its package was read again in a
  // new layout: the values go where the new version keeps them, which the
  // host takes only now.
  void AdoptLayout(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], const SequenceData& record);

private:
  // Loads the effect at `path` for the sequence, keeping the clip's values
  // when it is the package the clip already names. When it cannot be loaded,
  // `failure` is shown and the sequence has no effect; a `rechosen` stored
  // path stays for a later try, a new one is not kept.
  void LoadChosenEffect(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], SequenceData& record,
                        const std::filesystem::path& path, const std::string& failure, bool rechosen,
                        std::unordered_set<int>& hidden);
  void ShowBuildFailure(const correction::ICustomEffect& effect, const std::string& name) const;

  LumaroEffect& instance_;
  const ParameterPanel& panel_;
};

} // namespace brantok::lumaro::ae
