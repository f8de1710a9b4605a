#include "ModuleRun.h"

#include "CliError.h"
#include "HandleStore.h"
#include "core/Logger.h"
#include "core/PathText.h"
#include "correction/EffectOutcome.h"

#include <sstream>
#include <system_error>

namespace brantok::lumaro::host {
namespace {

constexpr PF_ParamIndex kEffectPopup = 3;
constexpr PF_ParamIndex kEffectPath = 4;
constexpr A_long kLoadedEffectChoice = 4;

constexpr const char* kLoadFailure = "Failed to load effect from path: ";
// How the Effect popup's item for an effect that cannot run ends.
constexpr const char* kCannotRunItem = " (cannot run)";

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The verdict is the plug-in's own outcome line for the package: a package is
// usable only when the plug-in said it is ready and its panel agrees (every
// control shown and enabled, the popup's item not marked). Finding no
// outcome at all is a failure too, never a pass.
ModuleRun::Status Judge(const std::string& output, const std::string& errors, const HostParameters& params,
                        const std::vector<PF_ParamIndex>& controls) {
  ModuleRun::Status status;
  const std::string noDevice(correction::EffectOutcome::NoDevice);
  if (const auto at = errors.find(noDevice); at != std::string::npos) {
    status.noDevice = true;
    // Up to what the plug-in does with frames meanwhile, which no command here sees.
    status.log = Trim(errors.substr(at, errors.find_first_of(";\n", at) - at));
    return status;
  }
  auto outcome = correction::EffectOutcome::FindLast(errors);
  if (!outcome || outcome->IsReady()) {
    if (auto ready = correction::EffectOutcome::FindLast(output); ready && ready->IsReady()) outcome = ready;
  }
  if (!outcome) {
    status.log = "the plug-in said nothing about whether the effect can run";
    return status;
  }
  status.loaded = errors.find(kLoadFailure) == std::string::npos;
  if (!outcome->IsReady()) {
    status.log = outcome->GetReason();
    return status;
  }
  for (PF_ParamIndex index : controls) {
    const bool shown = index < static_cast<PF_ParamIndex>(params.Count()) &&
                       !(params.At(index).ui_flags & (PF_PUI_INVISIBLE | PF_PUI_DISABLED));
    if (!shown) {
      status.log = "the plug-in says the effect is ready but does not show all of its controls";
      return status;
    }
  }
  const std::string items = params.Text(kEffectPopup);
  if (items.substr(items.rfind('|') + 1).ends_with(kCannotRunItem)) {
    status.log = "the plug-in says the effect is ready but its Effect popup says it cannot run";
    return status;
  }
  status.built = true;
  return status;
}

} // namespace

ModuleRun::ModuleRun(const std::filesystem::path& module, eHostApp app) {
  const std::string shown = core::PathToUtf8(module);
  std::error_code error;
  if (!std::filesystem::is_regular_file(module, error)) throw CliError("module " + shown + " does not exist");
  std::string reason;
  module_ = LoadedModule::Load(module, reason);
  if (!module_) throw CliError("cannot load module " + shown + ": " + reason);
  const auto entry = EffectHost::FindEntryPoint(*module_);
  if (!entry) throw CliError("module " + shown + " has no EffectMain");
  host_ = std::make_unique<EffectHost>(entry, app);
  // Only what a real host sends: a panel that needs an unasked refresh shows
  // here as it would in the video editor.
  host_->SetStrict(true);
}

ModuleRun::~ModuleRun() {
  // After a failure the plug-in still gets its setdowns, as a host closing
  // the project would send them; their results no longer matter.
  if (sequenceSetUp_) host_->SequenceSetdown(sequence_);
  if (globalSetUp_) host_->GlobalSetdown();
  host_.reset();
  module_.reset();
}

void ModuleRun::Check(PF_Err error, const char* command) {
  if (error == PF_Err_NONE) return;
  const std::string hostError = host_->LastHostError();
  if (!hostError.empty()) throw CliError("host error " + std::to_string(error) + " in " + hostError);
  const std::string message = host_->LastReturnMessage();
  throw CliError("host error " + std::to_string(error) + " in " + command + (message.empty() ? "" : ": " + message));
}

void ModuleRun::SetUp() {
  Check(host_->GlobalSetup(), "GLOBAL_SETUP");
  globalSetUp_ = true;
  Check(host_->ParamsSetup(), "PARAMS_SETUP");
  const auto& params = host_->Params();
  if (params.Count() <= kEffectPath || params.At(kEffectPopup).param_type != PF_Param_POPUP ||
      params.At(kEffectPath).param_type != PF_Param_ARBITRARY_DATA) {
    throw CliError("the module set up " + std::to_string(params.Count() - 1) +
                   " parameters, without the Effect popup and the Effect Path");
  }
  const PF_Err sequenceError = host_->SequenceSetup(sequence_);
  sequenceSetUp_ = true;
  Check(sequenceError, "SEQUENCE_SETUP");
}

ModuleRun::Status ModuleRun::Open(const std::filesystem::path& package, const std::vector<PF_ParamIndex>& controls) {
  SetUp();
  std::error_code error;
  const auto absolute = std::filesystem::absolute(package, error);
  if (!host_->Params().WriteArbitraryText(kEffectPath, core::PathToUtf8(error ? package : absolute))) {
    throw CliError("the path of " + core::PathToUtf8(package) + " is too long for the Effect Path parameter");
  }
  host_->Params().SetPopupValue(kEffectPopup, kLoadedEffectChoice);

  const std::size_t errorsBefore = capture_.Errors().size();
  const std::size_t outputBefore = capture_.Output().size();
  logFiles_.Appended();
  Check(host_->UpdateParamsUI(sequence_), "UPDATE_PARAMS_UI");
  const auto since = [](const std::string& text, std::size_t before) {
    return text.size() > before ? text.substr(before) : std::string();
  };
  const std::string errors = since(capture_.Errors(), errorsBefore);
  const std::string output = since(capture_.Output(), outputBefore);
  if (!correction::EffectOutcome::FindLast(errors + output) &&
      errors.find(correction::EffectOutcome::NoDevice) == std::string::npos) {
    // A debugger attached takes the plug-in's lines; its log file has them all.
    const std::string logged = logFiles_.Appended();
    return Judge(logged, logged, host_->Params(), controls);
  }
  return Judge(output, errors, host_->Params(), controls);
}

void ModuleRun::OpenEmpty() {
  SetUp();
  Check(host_->UpdateParamsUI(sequence_), "UPDATE_PARAMS_UI");
}

void ModuleRun::RefreshPanel() { Check(host_->UpdateParamsUI(sequence_), "UPDATE_PARAMS_UI"); }

void ModuleRun::Reopen() {
  sequenceSetUp_ = false;
  Check(host_->SequenceSetdown(sequence_), "SEQUENCE_SETDOWN");
  const PF_Err error = host_->SequenceSetup(sequence_);
  sequenceSetUp_ = true;
  Check(error, "SEQUENCE_SETUP");
  RefreshPanel();
}

void ModuleRun::UserChangedParam(PF_ParamIndex index) {
  Check(host_->UserChangedParam(sequence_, index), "USER_CHANGED_PARAM");
}

std::vector<std::uint8_t> ModuleRun::SequenceRecord() const {
  return HandleStore::Instance().Bytes(host_->SequenceData(sequence_));
}

void ModuleRun::Render(HostWorld& input, HostWorld& output, const FrameTime& time) {
  Check(host_->Render(sequence_, input, output, time), "RENDER");
}

void ModuleRun::Close() {
  sequenceSetUp_ = false;
  Check(host_->SequenceSetdown(sequence_), "SEQUENCE_SETDOWN");
  globalSetUp_ = false;
  Check(host_->GlobalSetdown(), "GLOBAL_SETDOWN");
}

} // namespace brantok::lumaro::host
