#include "EffectHost.h"

#include "HandleStore.h"
#include "HostCallbacks.h"
#include "LoadedModule.h"

#include <cstring>
#include <numeric>

namespace brantok::lumaro::host {
namespace {

// PF_NewWorldFlag_DEEP_PIXELS: new_world makes a 16-bit world.
constexpr PF_NewWorldFlags kNewWorldDeepPixels = 2;
constexpr PF_Quality kQualityHigh = 1;

std::string TextOf(const PF_ParamDef& def) {
  const char* text = nullptr;
  if (def.param_type == PF_Param_POPUP) text = def.u.pd.u.namesptr;
  if (def.param_type == PF_Param_BUTTON) text = def.u.button_d.u.namesptr;
  if (def.param_type == PF_Param_CHECKBOX) text = def.u.bd.u.nameptr;
  return text ? text : "";
}

void ClearTextPointers(PF_ParamDef& def) {
  if (def.param_type == PF_Param_POPUP) def.u.pd.u.namesptr = nullptr;
  if (def.param_type == PF_Param_BUTTON) def.u.button_d.u.namesptr = nullptr;
  if (def.param_type == PF_Param_CHECKBOX) def.u.bd.u.nameptr = nullptr;
}

} // namespace

EffectHost::EntryPoint EffectHost::FindEntryPoint(const LoadedModule& module) {
  return reinterpret_cast<EntryPoint>(module.FindSymbol("EffectMain"));
}

EffectHost::EffectHost(EntryPoint entry, eHostApp app) :
    tag_{HostCallbacks::kTagMagic, this}, entry_(entry), app_(app) {}

EffectHost::~EffectHost() = default;

EffectHost* EffectHost::Active() { return HostCallbacks::ActiveHost(); }

void EffectHost::SetLayerSize(A_long width, A_long height) {
  layerWidth_ = width;
  layerHeight_ = height;
}

void EffectHost::SetDownsample(const PF_RationalScale& x, const PF_RationalScale& y) {
  downsampleX_ = x;
  downsampleY_ = y;
}

PF_ProgPtr EffectHost::EffectRef() const { return reinterpret_cast<PF_ProgPtr>(const_cast<Tag*>(&tag_)); }
PF_UtilCallbacks* EffectHost::Utils() const { return HostCallbacks::Utils(); }
SPBasicSuite* EffectHost::BasicSuite() const { return HostCallbacks::Basic(); }

PF_Handle EffectHost::SequenceHandle(int sequence) const {
  if (sequence < 0 || sequence >= static_cast<int>(sequences_.size())) return nullptr;
  return sequences_[static_cast<std::size_t>(sequence)].data;
}

PF_InData EffectHost::PrepareInData(const CommandOptions& options) const {
  PF_InData in{};
  in.inter = HostCallbacks::Interact();
  in.utils = HostCallbacks::Utils();
  in.effect_ref = EffectRef();
  in.quality = kQualityHigh;
  in.version = {PF_PLUG_IN_VERSION, PF_PLUG_IN_SUBVERS};
  in.appl_id = ApplId(app_);
  in.current_time = options.time.currentTime;
  in.time_step = options.time.timeStep;
  in.local_time_step = options.time.timeStep;
  in.total_time = options.time.totalTime;
  in.time_scale = options.time.timeScale;
  const bool render = options.output != nullptr;
  in.width = options.width != 0 ? options.width : layerWidth_;
  in.height = options.height != 0 ? options.height : layerHeight_;
  in.extent_hint = {0, 0, in.width, in.height};
  in.downsample_x = render ? downsampleX_ : PF_RationalScale{1, 1};
  in.downsample_y = render ? downsampleY_ : PF_RationalScale{1, 1};
  in.pixel_aspect_ratio = {1, 1};
  in.pica_basicP = HostCallbacks::Basic();
  {
    std::lock_guard lock(paramsMutex_);
    in.num_params = static_cast<A_long>(params_.Count());
  }
  std::lock_guard lock(stateMutex_);
  in.global_data = globalData_;
  in.sequence_data = SequenceHandle(options.sequence);
  return in;
}

PF_OutData EffectHost::PrepareOutData(const CommandOptions& options) const {
  PF_OutData out{};
  std::lock_guard lock(stateMutex_);
  out.global_data = globalData_;
  out.sequence_data = SequenceHandle(options.sequence);
  out.return_msg[0] = '\0';
  return out;
}

PF_Err EffectHost::SendRaw(PF_Cmd cmd, PF_InData* in, PF_OutData* out, PF_ParamDef** params, PF_LayerDef* output,
                           void* extra) {
  HostCallbacks::Scope scope(*this, cmd);
  return entry_(cmd, in, out, params, output, extra);
}

PF_Err EffectHost::Send(PF_Cmd cmd, const CommandOptions& options) {
  std::lock_guard lock(paramsMutex_);
  params_.ClearChangeFlags();
  return Run(cmd, options, options.params ? *options.params : params_.Array());
}

void EffectHost::UseGlobalDataOf(const EffectHost& owner) {
  PF_Handle global = nullptr;
  PF_OutFlags flags = 0;
  {
    std::lock_guard lock(owner.stateMutex_);
    global = owner.globalData_;
    flags = owner.globalOutFlags_;
  }
  std::lock_guard lock(stateMutex_);
  globalData_ = global;
  globalOutFlags_ = flags;
}

void EffectHost::SetStrict(bool strict) {
  std::lock_guard lock(stateMutex_);
  strict_ = strict;
}

bool EffectHost::Strict() const {
  std::lock_guard lock(stateMutex_);
  return strict_;
}

bool EffectHost::SendsUpdateParamsUI() const {
  {
    std::lock_guard lock(stateMutex_);
    if (globalOutFlags_ & PF_OutFlag_SEND_UPDATE_PARAMS_UI) return true;
  }
  if (app_ != eHostApp::AfterEffects) return false;
  std::lock_guard lock(paramsMutex_);
  for (std::size_t i = 1; i < params_.Count(); ++i) {
    if (params_.At(static_cast<PF_ParamIndex>(i)).flags & PF_ParamFlag_SUPERVISE) return true;
  }
  return false;
}

int EffectHost::UnsentCommands() const {
  std::lock_guard lock(stateMutex_);
  return unsentCommands_;
}

void EffectHost::ApplyInDataFaults(PF_InData& in) {
  std::lock_guard lock(stateMutex_);
  if (faults_.nullUtils.Trip()) in.utils = nullptr;
  if (faults_.nullSuiteBroker.Trip()) in.pica_basicP = nullptr;
  if (faults_.nullEffectRef.Trip()) in.effect_ref = nullptr;
  if (faults_.nullSequenceData.Trip()) in.sequence_data = nullptr;
  if (faults_.sequenceDataSize && in.sequence_data) {
    PF_Handle record = in.sequence_data;
    auto& store = HandleStore::Instance();
    if (store.GetSize(record) != *faults_.sequenceDataSize) store.Resize(*faults_.sequenceDataSize, &record);
  }
}

PF_Err EffectHost::Run(PF_Cmd cmd, const CommandOptions& options, PF_ParamDef** params) {
  PF_InData in = PrepareInData(options);
  PF_OutData out = PrepareOutData(options);
  ApplyInDataFaults(in);
  if (options.adjust) options.adjust(in, out);
  std::size_t countBefore = 0;
  {
    std::lock_guard lock(paramsMutex_);
    countBefore = params_.Count();
  }
  PF_Err error = SendRaw(cmd, options.nullInData ? nullptr : &in, options.nullOutData ? nullptr : &out, params,
                         options.output, options.extra);

  std::string hostError;
  if (cmd == PF_Cmd_PARAMS_SETUP && error == PF_Err_NONE && !options.nullOutData) {
    // The host's sanity check: the input layer counts as a parameter.
    std::lock_guard lock(paramsMutex_);
    const auto added = static_cast<A_long>(params_.Count() - countBefore);
    if (out.num_params != added + 1) {
      error = PF_Err_INTERNAL_STRUCT_DAMAGED;
      hostError = "PARAMS_SETUP: out_data->num_params is " + std::to_string(out.num_params) +
                  ", but the plug-in added " + std::to_string(added) + " parameters, " + std::to_string(added + 1) +
                  " with the input layer";
    }
  }

  std::lock_guard lock(stateMutex_);
  lastError_ = error;
  hostError_ = std::move(hostError);
  const bool knownSequence = options.sequence >= 0 && options.sequence < static_cast<int>(sequences_.size());
  if (!options.nullOutData) {
    out.return_msg[sizeof out.return_msg - 1] = '\0';
    lastOut_ = out;
    if (out.return_msg[0]) returnMessages_.emplace_back(out.return_msg);
    globalData_ = out.global_data;
    if (cmd == PF_Cmd_GLOBAL_SETUP) globalOutFlags_ = out.out_flags;
    if (cmd == PF_Cmd_PARAMS_SETUP) declaredParams_ = out.num_params;
    if (knownSequence) sequences_[static_cast<std::size_t>(options.sequence)].data = out.sequence_data;
  }
  if (cmd == PF_Cmd_GLOBAL_SETDOWN) globalData_ = nullptr;
  if (cmd == PF_Cmd_SEQUENCE_SETDOWN && knownSequence) {
    sequences_[static_cast<std::size_t>(options.sequence)] = Sequence{nullptr, false};
  }
  return error;
}

PF_Err EffectHost::About() { return Send(PF_Cmd_ABOUT); }
PF_Err EffectHost::GlobalSetup() { return Send(PF_Cmd_GLOBAL_SETUP); }
PF_Err EffectHost::ParamsSetup() { return Send(PF_Cmd_PARAMS_SETUP); }
PF_Err EffectHost::GlobalSetdown() { return Send(PF_Cmd_GLOBAL_SETDOWN); }

PF_Err EffectHost::SequenceSetup(int& sequence) {
  {
    std::lock_guard lock(stateMutex_);
    sequences_.push_back(Sequence{});
    sequence = static_cast<int>(sequences_.size()) - 1;
  }
  CommandOptions options;
  options.sequence = sequence;
  return Send(PF_Cmd_SEQUENCE_SETUP, options);
}

PF_Err EffectHost::SequenceResetup(int sequence) {
  CommandOptions options;
  options.sequence = sequence;
  return Send(PF_Cmd_SEQUENCE_RESETUP, options);
}

PF_Err EffectHost::SequenceSetdown(int sequence) {
  CommandOptions options;
  options.sequence = sequence;
  return Send(PF_Cmd_SEQUENCE_SETDOWN, options);
}

PF_Err EffectHost::UpdateParamsUI(int sequence) {
  if (Strict() && !SendsUpdateParamsUI()) {
    std::lock_guard lock(stateMutex_);
    ++unsentCommands_;
    return PF_Err_NONE;
  }
  CommandOptions options;
  options.sequence = sequence;
  return Send(PF_Cmd_UPDATE_PARAMS_UI, options);
}

PF_Err EffectHost::UserChangedParam(int sequence, PF_ParamIndex index) {
  PF_UserChangedParamExtra extra{index};
  CommandOptions options;
  options.sequence = sequence;
  options.extra = &extra;
  return Send(PF_Cmd_USER_CHANGED_PARAM, options);
}

PF_Err EffectHost::ArbitraryCallback(PF_ArbParamsExtra& extra, int sequence) {
  CommandOptions options;
  options.sequence = sequence;
  options.extra = &extra;
  return Send(PF_Cmd_ARBITRARY_CALLBACK, options);
}

PF_Err EffectHost::Render(int sequence, HostWorld& input, HostWorld& output, const FrameTime& time) {
  return RenderWith(sequence, nullptr, input, output, time);
}

PF_Err EffectHost::RenderFrameOf(const EffectHost& clip, int sequence, HostWorld& input, HostWorld& output,
                                 const FrameTime& time) {
  return RenderWith(-1, clip.SequenceData(sequence), input, output, time);
}

PF_Err EffectHost::RenderWith(int sequence, PF_Handle sequenceData, HostWorld& input, HostWorld& output,
                              const FrameTime& time) {
  std::vector<PF_ParamDef> snapshot;
  {
    std::lock_guard lock(paramsMutex_);
    snapshot.reserve(params_.Count());
    for (std::size_t i = 0; i < params_.Count(); ++i) snapshot.push_back(params_.At(static_cast<PF_ParamIndex>(i)));
  }
  for (auto& def : snapshot) def.uu.change_flags = PF_ChangeFlag_NONE;
  snapshot.front().u.ld = *input.World();
  std::vector<PF_ParamDef*> pointers;
  for (auto& def : snapshot) pointers.push_back(&def);

  CommandOptions options;
  options.sequence = sequence;
  options.params = pointers.data();
  options.output = output.World();
  options.time = time;
  options.width = input.Width();
  options.height = input.Height();
  if (sequenceData) options.adjust = [sequenceData](PF_InData& in, PF_OutData&) { in.sequence_data = sequenceData; };
  return Run(PF_Cmd_RENDER, options, pointers.data());
}

PF_Handle EffectHost::GlobalData() const {
  std::lock_guard lock(stateMutex_);
  return globalData_;
}

PF_Handle EffectHost::SequenceData(int sequence) const {
  std::lock_guard lock(stateMutex_);
  return SequenceHandle(sequence);
}

int EffectHost::SequenceCount() const {
  std::lock_guard lock(stateMutex_);
  return static_cast<int>(sequences_.size());
}

A_long EffectHost::DeclaredParamCount() const {
  std::lock_guard lock(stateMutex_);
  return declaredParams_;
}

PF_OutData EffectHost::LastOutData() const {
  std::lock_guard lock(stateMutex_);
  return lastOut_;
}

PF_Err EffectHost::LastError() const {
  std::lock_guard lock(stateMutex_);
  return lastError_;
}

std::string EffectHost::LastHostError() const {
  std::lock_guard lock(stateMutex_);
  return hostError_;
}

std::string EffectHost::LastReturnMessage() const {
  std::lock_guard lock(stateMutex_);
  return lastOut_.return_msg;
}

std::vector<std::string> EffectHost::ReturnMessages() const {
  std::lock_guard lock(stateMutex_);
  return returnMessages_;
}

std::vector<ParamUIUpdate> EffectHost::UIUpdates() const {
  std::lock_guard lock(stateMutex_);
  return uiUpdates_;
}

void EffectHost::ClearUIUpdates() {
  std::lock_guard lock(stateMutex_);
  uiUpdates_.clear();
}

std::vector<PrPixelFormat> EffectHost::SupportedPixelFormats() const {
  std::lock_guard lock(stateMutex_);
  return pixelFormats_;
}

int EffectHost::SuiteAcquisitions(const std::string& name) const {
  std::lock_guard lock(stateMutex_);
  const auto found = acquisitions_.find(name);
  return found == acquisitions_.end() ? 0 : found->second;
}

int EffectHost::SuiteReleases(const std::string& name) const {
  std::lock_guard lock(stateMutex_);
  const auto found = releases_.find(name);
  return found == releases_.end() ? 0 : found->second;
}

int EffectHost::OutstandingSuites() const {
  std::lock_guard lock(stateMutex_);
  auto sum = [](const std::map<std::string, int>& counts) {
    return std::accumulate(counts.begin(), counts.end(), 0,
                           [](int total, const auto& item) { return total + item.second; });
  };
  return sum(acquisitions_) - sum(releases_);
}

int EffectHost::FailedSuiteAcquisitions() const {
  std::lock_guard lock(stateMutex_);
  return failedAcquisitions_;
}

std::size_t EffectHost::LiveNewWorlds() const {
  std::lock_guard lock(stateMutex_);
  return newWorlds_.size();
}

PF_Err EffectHost::OnAddParam(PF_ParamIndex index, PF_ParamDef* def) {
  if (!def) return PF_Err_BAD_CALLBACK_PARAM;
  // Parameters are fixed once set up.
  if (HostCallbacks::ActiveHost() != this || HostCallbacks::ActiveCommand() != PF_Cmd_PARAMS_SETUP) {
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  {
    std::lock_guard lock(stateMutex_);
    if (faults_.addParam.Trip()) return faults_.addParamError;
  }
  std::lock_guard lock(paramsMutex_);
  return params_.Add(index, *def);
}

PF_Err EffectHost::OnCheckoutParam(PF_ParamIndex index, PF_ParamDef* param) {
  std::lock_guard lock(paramsMutex_);
  if (index < 0 || index >= static_cast<PF_ParamIndex>(params_.Count())) return PF_Err_INVALID_INDEX;
  *param = params_.At(index);
  return PF_Err_NONE;
}

PF_Err EffectHost::OnUpdateParamUI(PF_ParamIndex index, const PF_ParamDef* def) {
  ParamUIUpdate record;
  record.command = HostCallbacks::ActiveHost() == this ? HostCallbacks::ActiveCommand() : -1;
  record.index = index;
  PF_Err error = PF_Err_NONE;
  if (def) {
    record.def = *def;
    record.text = TextOf(*def);
    ClearTextPointers(record.def);
  } else {
    error = PF_Err_BAD_CALLBACK_PARAM;
  }
  if (!error) {
    std::lock_guard lock(stateMutex_);
    if (faults_.updateParamUI.Trip()) error = faults_.updateParamUIError;
  }
  if (!error) {
    std::lock_guard lock(paramsMutex_);
    error = params_.ApplyUIUpdate(index, *def);
  }
  record.result = error;
  std::lock_guard lock(stateMutex_);
  uiUpdates_.push_back(std::move(record));
  return error;
}

SPErr EffectHost::OnAcquireSuite(const char* name, std::int32_t version, const void** suite) {
  std::lock_guard lock(stateMutex_);
  if (!suite) {
    ++failedAcquisitions_;
    return kSPSuiteNotFoundError;
  }
  *suite = nullptr;
  if (!name || faults_.missingSuites.count(name) || faults_.acquireSuite.Trip()) {
    ++failedAcquisitions_;
    return kSPSuiteNotFoundError;
  }
  *suite = HostCallbacks::FindSuite(name, version, app_ == eHostApp::PremierePro);
  if (!*suite) {
    ++failedAcquisitions_;
    return kSPSuiteNotFoundError;
  }
  ++acquisitions_[name];
  return kSPNoError;
}

SPErr EffectHost::OnReleaseSuite(const char* name, std::int32_t /*version*/) {
  if (!name) return kSPSuiteNotFoundError;
  std::lock_guard lock(stateMutex_);
  ++releases_[name];
  return kSPNoError;
}

PF_Err EffectHost::OnNewWorld(A_long width, A_long height, PF_NewWorldFlags flags, PF_EffectWorld* world) {
  if (width < 0 || height < 0) return PF_Err_BAD_CALLBACK_PARAM;
  // After Effects' own worlds: 8-bit ARGB, 16-bit when asked for deep pixels.
  const PrPixelFormat format = (flags & kNewWorldDeepPixels) ? PrPixelFormat_ARGB_4444_16u : PrPixelFormat_ARGB_4444_8u;
  auto made = std::make_unique<HostWorld>(width, height, format);
  *world = *made->World();
  std::lock_guard lock(stateMutex_);
  newWorlds_[world->data] = std::move(made);
  return PF_Err_NONE;
}

PF_Err EffectHost::OnDisposeWorld(PF_EffectWorld* world) {
  std::unique_ptr<HostWorld> disposed;
  std::lock_guard lock(stateMutex_);
  const auto found = newWorlds_.find(world->data);
  if (found == newWorlds_.end()) return PF_Err_BAD_CALLBACK_PARAM;
  disposed = std::move(found->second);
  newWorlds_.erase(found);
  *world = PF_EffectWorld{};
  return PF_Err_NONE;
}

void EffectHost::OnSupportedPixelFormat(bool clear, PrPixelFormat format) {
  std::lock_guard lock(stateMutex_);
  if (clear) {
    pixelFormats_.clear();
  } else {
    pixelFormats_.push_back(format);
  }
}

} // namespace brantok::lumaro::host
