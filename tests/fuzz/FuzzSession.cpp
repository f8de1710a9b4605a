#include "FuzzSession.h"

#include "FuzzTargets.h"
#include "ae/EffectDispatch.h"
#include "ae/KeepString.h"
#include "ae/LumaroEffect.h"
#include "core/DialogResponder.h"

namespace brantok::lumaro::fuzz {
namespace {

class DecliningResponder final : public core::IDialogResponder {
public:
  core::eMessageBoxResult AnswerMessageBox(core::eMessageBoxType, const std::string&, const std::string&) override {
    return core::eMessageBoxResult::None;
  }
  std::optional<std::filesystem::path> AnswerOpenFileDialog(const std::string&,
                                                            const std::vector<core::FileTypeFilter>&,
                                                            const std::optional<std::filesystem::path>&) override {
    return std::nullopt;
  }
  std::optional<std::filesystem::path> AnswerSaveFileDialog(const std::string&,
                                                            const std::vector<core::FileTypeFilter>&,
                                                            const std::optional<std::filesystem::path>&,
                                                            const std::optional<std::filesystem::path>&,
                                                            const std::optional<std::filesystem::path>&) override {
    return std::nullopt;
  }
};

} // namespace

FuzzSession& FuzzSession::Get() {
  static FuzzSession session;
  return session;
}

FuzzSession::FuzzSession() : owner_(&ae::DispatchCommand) {
  // The plug-in's kept strings must outlive this session, whose end sets the
  // instance down and empties them: made first, they are destroyed last. (In
  // the module, the unload hook ends the plug-in before any static goes.)
  ae::ClearKeptStrings();
  core::SetDialogResponder(std::make_shared<DecliningResponder>());
  Expect(owner_.GlobalSetup() == PF_Err_NONE, "global set-up failed");
}

FuzzSession::~FuzzSession() {
  owner_.GlobalSetdown();
  core::ClearDialogResponder();
}

std::unique_ptr<host::EffectHost> FuzzSession::NewClip() {
  auto clip = std::make_unique<host::EffectHost>(&ae::DispatchCommand);
  clip->UseGlobalDataOf(owner_);
  Expect(clip->ParamsSetup() == PF_Err_NONE, "parameter set-up failed");
  return clip;
}

ae::LumaroEffect& FuzzSession::Instance() {
  const PF_Handle global = owner_.GlobalData();
  Expect(global && *global, "no global data");
  auto* instance = dynamic_cast<ae::LumaroEffect*>(*static_cast<ae::IGlobalPluginInstance**>(*global));
  Expect(instance != nullptr, "the global data holds no plug-in instance");
  return *instance;
}

std::filesystem::path FuzzSession::Example(const std::string& name) {
  return std::filesystem::path(LUMARO_EFFECTS_DIR) / (name + ".lumaro-effect");
}

} // namespace brantok::lumaro::fuzz
