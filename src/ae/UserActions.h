#pragma once

#include "ae/EffectPathValue.h"
#include "ae/sdk/EffectApi.h"

#include <filesystem>
#include <memory>
#include <string>
#include <unordered_set>
#include <utility>

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
  // A package the user chose for the clip.
  struct Choice {
    Choice(std::filesystem::path chosen, std::string failureText) :
        path(std::move(chosen)), failure(std::move(failureText)) {}
    std::filesystem::path path;
    std::string failure;                            // the box's text when it cannot be loaded
    bool rechosen = false;                          // the stored path again: it stays when loading fails
    bool keepValues = false;                        // as for the stored package, whatever the path
    std::shared_ptr<const std::string> projectCopy; // read from these bytes, not the file
  };
  // Loads the chosen package for the sequence, keeping the clip's values when
  // it is the package the clip already names. When it cannot be loaded, the
  // failure is shown and the sequence has no effect.
  void LoadChosenEffect(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], SequenceData& record,
                        const Choice& choice, std::unordered_set<int>& hidden);
  // Offers the copy kept in the project as a file again, since the clip's
  // file is missing; the clip renders from the copy until it is saved.
  void SaveKeptPackage(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], SequenceData& record,
                       const std::filesystem::path& path, const KeptPackage& kept, std::unordered_set<int>& hidden);
  void ShowBuildFailure(const correction::ICustomEffect& effect, const std::string& name) const;

  LumaroEffect& instance_;
  const ParameterPanel& panel_;
};

} // namespace brantok::lumaro::ae
