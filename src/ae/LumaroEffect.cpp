#include "ae/LumaroEffect.h"

#include "ae/EffectDeclaration.h"
#include "ae/EffectPath.h"
#include "ae/FrameRenderer.h"
#include "ae/HostHandle.h"
#include "ae/InterfaceBuilder.h"
#include "ae/ParameterLayout.h"
#include "ae/ParameterPanel.h"
#include "ae/PixelFormats.h"
#include "ae/ScopedSuite.h"
#include "ae/SequenceData.h"
#include "ae/UserActions.h"
#include "core/Logger.h"
#include "core/PathText.h"
#include "core/ProductInformation.h"
#include "correction/EffectCache.h"
#include "correction/EffectOutcome.h"
#include "correction/PromptEffect.h"
#include "correction/effects/library/Entry.h"
#include "gpu/IContext.h"
#include "services/UpdateCheck.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <stdexcept>
#include <utility>

namespace brantok::lumaro::ae {

using core::eLogChannel;
using core::Logger;
using correction::ICustomEffect;
using gpu::eGpuFormat;

namespace {

// The machine, not a package, stops effects: no OpenCL runtime, platform or
// device, or no context on the device.
class NoGpuDeviceError final : public std::runtime_error {
public:
  NoGpuDeviceError() : std::runtime_error("Failed to create GPU context. No suitable GPU API available.") {}
};

PF_Err CopyInput(const PF_InData* inData, PF_LayerDef& input, PF_LayerDef* output) {
  if (!inData->utils || !inData->utils->copy) return PF_Err_INVALID_CALLBACK;
  return inData->utils->copy(inData->effect_ref, &input, output, nullptr, nullptr);
}

// What one frame or panel refresh takes from a clip.
LumaroEffect::ClipView ViewOf(const ClipState& clip) {
  return {clip.GetEffect(), clip.GetSlots(), clip.GetBytes(), clip.IsFromProject()};
}

} // namespace

LumaroEffect::LumaroEffect(PF_InData* inData, PF_OutData* outData, gpu::ContextFactory contextFactory) :
    contextFactory_(std::move(contextFactory)), panel_(std::make_unique<ParameterPanel>(renderMutex_)),
    renderer_(std::make_unique<FrameRenderer>(*this)), actions_(std::make_unique<UserActions>(*this, *panel_)) {
  // The same words as the PiPL's: the host compares them.
  outData->my_version = EffectDeclaration::VersionWord();
  outData->out_flags = EffectDeclaration::OutFlags;
  outData->out_flags2 = EffectDeclaration::OutFlags2;

  if (inData->appl_id == PF_APPL_ID_PREMIERE) {
    PixelFormatSuite formats(inData, outData, kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1);
    if (formats->ClearSupportedPixelFormats) formats->ClearSupportedPixelFormats(inData->effect_ref);
    for (const auto format : GetSupportedFormats()) {
      const auto code = ToPremiereFormat(format);
      if (formats->AddSupportedPixelFormat) formats->AddSupportedPixelFormat(inData->effect_ref, code);
    }
  }
}

LumaroEffect::~LumaroEffect() {
  // The effects and the GPU objects go before the context they were made on.
  clips_.clear();
  renderer_.reset();
  effectCache_.reset();
  context_.reset();
}

std::vector<eGpuFormat> LumaroEffect::GetSupportedFormats() const { return {eGpuFormat::BGRA8, eGpuFormat::BGRA32F}; }

PF_Err LumaroEffect::About(PF_InData* inData, PF_OutData* outData, PF_ParamDef* /*params*/[], PF_LayerDef* /*output*/) {
  AnsiSuite ansi(inData, outData, kPFANSISuite, kPFANSISuiteVersion1);
  if (!ansi->sprintf) return PF_Err_INVALID_CALLBACK;
  const auto& version = core::ProductInformation::GetVersion();
  const std::string name(core::ProductInformation::Name);
  const std::string description(core::ProductInformation::Description);
  ansi->sprintf(outData->return_msg, "%s v%d.%d.%d\r%s", name.c_str(), version.major, version.minor, version.patch,
                description.c_str());
  return PF_Err_NONE;
}

PF_Err LumaroEffect::SequenceSetup(PF_InData* inData, PF_OutData* outData, PF_ParamDef* /*params*/[],
                                   PF_LayerDef* /*output*/) {
  if (!HostHandle::CanMake(inData->utils)) return PF_Err_INVALID_CALLBACK;
  // Field by field into a zeroed block: the padding bytes of the record are
  // stored in projects too and must be zero. A record that cannot be written
  // never reaches the project.
  outData->sequence_data = HostHandle::Make(*inData->utils, sizeof(SequenceData), [](void* data) {
    auto* record = static_cast<SequenceData*>(data);
    const auto& version = core::ProductInformation::GetVersion();
    record->version.major = version.major;
    record->version.minor = version.minor;
    record->version.patch = version.patch;
    record->version.valid = version.valid;
    return true;
  });
  if (!outData->sequence_data) {
    Logger::Log("Failed to create out_data->sequence_data in Plugin::SequenceSetup", eLogChannel::Error);
    return PF_Err_INTERNAL_STRUCT_DAMAGED;
  }
  return PF_Err_NONE;
}

PF_Err LumaroEffect::SequenceResetup(PF_InData* inData, PF_OutData* /*outData*/, PF_ParamDef* /*params*/[],
                                     PF_LayerDef* /*output*/) {
  if (!GetSequenceData(inData)) {
    Logger::Log("Warning, Plugin::SequenceResetup called with null sequence data", eLogChannel::Info);
  }
  return PF_Err_NONE;
}

PF_Err LumaroEffect::SequenceSetdown(PF_InData* inData, PF_OutData* /*outData*/, PF_ParamDef* /*params*/[],
                                     PF_LayerDef* /*output*/) {
  if (!inData->sequence_data || !*inData->sequence_data) {
    Logger::Log("Warning, Plugin::SequenceSetdown called with null sequence data", eLogChannel::Info);
    return PF_Err_NONE;
  }
  // A damaged record still goes with its sequence; only its id is not read.
  if (!IsShortSequenceData(*inData)) {
    const auto* record = GetSequenceData(inData);
    std::lock_guard lock(effectMapMutex_);
    clips_.erase(record->Key());
  }
  if (!inData->utils || !inData->utils->host_dispose_handle) return PF_Err_INVALID_CALLBACK;
  inData->utils->host_dispose_handle(inData->sequence_data);
  inData->sequence_data = nullptr;
  return PF_Err_NONE;
}

PF_Err LumaroEffect::ParamsSetup(PF_InData* inData, PF_OutData* outData, PF_ParamDef* /*params*/[],
                                 PF_LayerDef* /*output*/) {
  InterfaceBuilder builder(inData, outData);
  return builder.AddAll();
}

PF_Err LumaroEffect::UserChangedParam(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[],
                                      PF_LayerDef* /*output*/, void* extra) {
  auto* record = GetSequenceData(inData);
  if (!record) {
    Logger::Log("Warning, Plugin::UserChangedParam called with null sequence data", eLogChannel::Info);
    return PF_Err_NONE;
  }
  const auto* changed = static_cast<const PF_UserChangedParamExtra*>(extra);
  if (!changed) return PF_Err_NONE;
  const auto index = changed->param_index;
  if (index == ParameterLayout::VersionButton || index == ParameterLayout::SyncButton ||
      index == ParameterLayout::EffectPopup) {
    actions_->AdoptLayout(inData, outData, params, *record);
  }
  switch (index) {
  case ParameterLayout::VersionButton:
    services::CheckForUpdates();
    return PF_Err_NONE;
  case ParameterLayout::SyncButton:
    return actions_->ReceiveSharedEffect(inData, outData, params, *record);
  case ParameterLayout::EffectPopup:
    return actions_->ChangeEffect(inData, outData, params, *record);
  default:
    return PF_Err_NONE;
  }
}

void LumaroEffect::ForgetEffect(SequenceData& record) {
  std::lock_guard lock(effectMapMutex_);
  clips_.erase(record.Key());
  record.id = correction::Uuid{};
}

void LumaroEffect::TurnEffectOff(SequenceData& record) {
  std::lock_guard lock(effectMapMutex_);
  // The clip stays under its key, so that choosing the effect again keeps
  // its values. Not a cleared id, which a frame asked for before the user
  // chose None would take as a project to load the package for.
  record.TurnOff();
}

void LumaroEffect::DropEffect(SequenceData& record) {
  std::lock_guard lock(effectMapMutex_);
  clips_.erase(record.Key());
  record.TurnOff();
}

bool LumaroEffect::HasLiveEffect(const SequenceData& record) const {
  std::lock_guard lock(effectMapMutex_);
  const auto found = record.HasId() ? clips_.find(record.id) : clips_.end();
  return found != clips_.end() && found->second.GetEffect();
}

LumaroEffect::ClipView LumaroEffect::GetPreviousClip(const SequenceData& record) const {
  std::lock_guard lock(effectMapMutex_);
  const auto found = clips_.find(record.Key());
  if (found == clips_.end()) return {};
  return ViewOf(found->second);
}

LumaroEffect::LoadedEffect LumaroEffect::LoadEffect(const std::filesystem::path& path,
                                                    std::shared_ptr<const std::string> bytes) {
  std::lock_guard lock(effectMapMutex_);
  // The stamp before the bytes: a save in between is seen as a change later.
  auto stamp = bytes ? std::nullopt : files_.StampNow(path);
  auto loaded = LoadLocked(path, std::move(bytes));
  return {loaded.effect, stamp, loaded.bytes};
}

void LumaroEffect::AssignEffect(SequenceData& record, const std::filesystem::path& path, LoadedEffect loaded,
                                SlotMap slots, bool fromProject) {
  std::lock_guard lock(effectMapMutex_);
  clips_.erase(record.Key());
  record.id = correction::Uuid::Generate();
  ClipState::Loaded effect{std::move(loaded.effect), {}, std::move(loaded.bytes)};
  clips_.insert_or_assign(record.id, ClipState(path, loaded.stamp, std::move(effect), std::move(slots), fromProject));
}

void LumaroEffect::SetClipSlots(const SequenceData& record, SlotMap slots) {
  std::lock_guard lock(effectMapMutex_);
  if (const auto found = clips_.find(record.Key()); found != clips_.end()) found->second.SetSlots(std::move(slots));
}

PF_Err LumaroEffect::ArbitraryCallback(PF_InData* inData, PF_OutData* /*outData*/, PF_ParamDef* /*params*/[],
                                       PF_LayerDef* /*output*/, void* extra) {
  return HandleEffectPathCallback(inData, static_cast<PF_ArbParamsExtra*>(extra));
}

SequenceData* LumaroEffect::GetSequenceData(const PF_InData* inData) {
  if (!inData || !inData->sequence_data || !*inData->sequence_data) return nullptr;
  // A record cut short (a damaged project, another effect's data) must not be
  // read or written past its end.
  if (IsShortSequenceData(*inData)) {
    Logger::Log("Damaged sequence data: the record is shorter than 32 bytes", eLogChannel::Error);
    throw static_cast<PF_Err>(PF_Err_INTERNAL_STRUCT_DAMAGED);
  }
  return static_cast<SequenceData*>(*inData->sequence_data);
}

bool LumaroEffect::IsShortSequenceData(const PF_InData& inData) {
  const auto* utils = inData.utils;
  return utils && utils->host_get_handle_size &&
         utils->host_get_handle_size(inData.sequence_data) < sizeof(SequenceData);
}

correction::RenderTime LumaroEffect::GetRenderTime(const PF_InData& inData) {
  correction::RenderTime time;
  if (inData.time_scale != 0) {
    time.seconds = static_cast<double>(inData.current_time) / static_cast<double>(inData.time_scale);
    time.duration = static_cast<double>(inData.total_time) / static_cast<double>(inData.time_scale);
  }
  // No step, no frame count: frame 0. The 64-bit quotient keeps the one
  // overflowing 32-bit case (minimum / -1) defined.
  if (inData.time_step != 0) {
    const auto frame = static_cast<std::int64_t>(inData.current_time) / inData.time_step;
    time.frame = static_cast<std::int32_t>(std::clamp<std::int64_t>(frame, std::numeric_limits<std::int32_t>::min(),
                                                                    std::numeric_limits<std::int32_t>::max()));
  }
  return time;
}

std::size_t LumaroEffect::GetLoadedEffectCount() const {
  std::lock_guard lock(effectMapMutex_);
  return clips_.size();
}

std::shared_ptr<gpu::IContext> LumaroEffect::GetContextLocked() {
  if (!context_) {
    // The runtime lists its drivers once per process, so a machine without a
    // device stays without one: asking again would repeat the search, and its
    // log, on every frame.
    if (contextFailed_) throw NoGpuDeviceError();
    context_ = contextFactory_ ? contextFactory_() : nullptr;
    if (!context_) {
      contextFailed_ = true;
      Logger::Log(std::string(correction::EffectOutcome::NoDevice) +
                      ": a graphics driver with OpenCL support is needed to render effects; "
                      "until then frames pass through unchanged",
                  eLogChannel::Error);
      throw NoGpuDeviceError();
    }
  }
  return context_;
}

bool LumaroEffect::LacksGpuDevice() {
  std::lock_guard lock(creationMutex_);
  return contextFailed_;
}

std::shared_ptr<gpu::IContext> LumaroEffect::GetContext() {
  std::lock_guard lock(creationMutex_);
  return GetContextLocked();
}

std::shared_ptr<correction::EffectCache> LumaroEffect::GetEffectCache() {
  std::lock_guard lock(creationMutex_);
  if (!effectCache_) effectCache_ = std::make_shared<correction::EffectCache>(GetContextLocked());
  return effectCache_;
}

std::shared_ptr<ICustomEffect> LumaroEffect::GetEffect(const PF_InData* inData, PF_OutData* outData,
                                                       const PF_ParamDef* effectPath, SequenceData* record) {
  return GetClip(inData, outData, effectPath, record).effect;
}

LumaroEffect::ClipView LumaroEffect::GetClip(const PF_InData* inData, PF_OutData* outData,
                                             const PF_ParamDef* effectPath, SequenceData* record) {
  std::lock_guard lock(effectMapMutex_);
  // Without a record there is no id to keep the effect under.
  if (!record || record->IsTurnedOff()) return {};
  if (record->HasId()) {
    if (const auto found = clips_.find(record->id); found != clips_.end()) {
      found->second.Refresh(files_, [this](const std::filesystem::path& path) { return LoadLocked(path); });
      return ViewOf(found->second);
    }
  }
  const auto text = ReadEffectPath(inData, outData, effectPath);
  if (!text || text->empty()) return {};
  const auto path = core::PathFromUtf8(*text);
  // The project knows where the host holds the values, whichever version of
  // the package is on disk now.
  const auto kept = ReadKeptPackage(inData, outData, effectPath);
  std::optional<SlotMap> slots;
  if (kept) slots = SlotMap(kept->slots);
  std::optional<core::FileStamp> stamp;
  ClipState::Loaded loaded;
  if (std::filesystem::exists(path)) {
    stamp = files_.StampNow(path);
    loaded = LoadLocked(path);
  }
  // The file is the newer edit; only when it is missing or does not load
  // does the copy the project keeps render.
  const bool fromProject = !loaded.effect && kept;
  if (fromProject) loaded = LoadLocked(path, kept->bytes);
  if (!loaded.effect) return {};
  const auto id = correction::Uuid::Generate();
  record->id = id;
  return ViewOf(clips_.insert_or_assign(id, ClipState(path, stamp, std::move(loaded), std::move(slots), fromProject))
                    .first->second);
}

ClipState::Loaded LumaroEffect::LoadLocked(const std::filesystem::path& path,
                                           std::shared_ptr<const std::string> bytes) {
  try {
    correction::effects::library::Entry entry(path, std::move(bytes));
    std::shared_ptr<ICustomEffect> effect = std::make_shared<correction::PromptEffect>(entry, *GetEffectCache());
    (effect->IsReady() ? correction::EffectOutcome::Ready(effect->GetName())
                       : correction::EffectOutcome::CannotRun(effect->GetName(), effect->GetBuildError()))
        .Log();
    return {effect, {}, effect->GetSource() ? entry.GetBytes() : nullptr};
  } catch (const NoGpuDeviceError& error) {
    // Said once, when the context could not be made.
    return {nullptr, error.what(), nullptr};
  } catch (const std::exception& error) {
    Logger::Log("Failed to load effect from path: " + core::PathToNarrow(path) + ". Error: " + error.what(),
                eLogChannel::Error);
    correction::EffectOutcome::CannotRun(core::PathToNarrow(path.stem()), error.what()).Log();
    return {nullptr, error.what(), nullptr};
  }
}

PF_Err LumaroEffect::UpdateParameterUI(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[],
                                       PF_LayerDef* /*output*/) {
  auto* record = GetSequenceData(inData);
  if (!record) {
    Logger::Log("Warning, Plugin::UpdateParameterUI called with null sequence data", eLogChannel::Info);
    return PF_Err_NONE;
  }
  const auto* pathParam = FindParam(inData, params, ParameterLayout::EffectPath);
  const auto text = ReadEffectPath(inData, outData, pathParam);
  std::optional<std::filesystem::path> path;
  if (text && !text->empty()) path = core::PathFromUtf8(*text);
  const auto choice = panel_->GetPopup(inData, params);
  ClipView clip;
  if (choice == ParameterLayout::PopupEffect) clip = GetClip(inData, outData, pathParam, record);
  // A reopened project says at once when its effect cannot run, without
  // waiting for the user to choose it again.
  std::string note;
  if (choice == ParameterLayout::PopupEffect) {
    note = !ClipState::CanRun(clip.effect.get()) ? CannotRunNote : clip.fromProject ? KeptInProjectNote : "";
  }
  panel_->RebuildPopup(inData, outData, params, path, note);
  if (choice != ParameterLayout::PopupNone && choice != ParameterLayout::PopupEffect) return PF_Err_NONE;

  std::unordered_set<int> shown;
  if (clip.effect)
    shown = panel_->SynchroniseEffectToHost(inData, outData, *clip.effect, params, false, clip.slots.get());
  std::vector<A_long> hidden;
  for (const auto index : GetControlParamIndices()) {
    if (!shown.count(index)) hidden.push_back(index);
  }
  panel_->HideParams(inData, outData, params, hidden);
  return PF_Err_NONE;
}

PF_Err LumaroEffect::Render(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], PF_LayerDef* output) {
  if (!params || !params[0] || !output) return PF_Err_BAD_CALLBACK_PARAM;
  auto& input = params[0]->u.ld;

  if (panel_->GetPopup(inData, params) != ParameterLayout::PopupEffect) return CopyInput(inData, input, output);

  const auto clip =
      GetClip(inData, outData, FindParam(inData, params, ParameterLayout::EffectPath), GetSequenceData(inData));
  const auto& effect = clip.effect;
  if (!ClipState::CanRun(effect.get())) return CopyInput(inData, input, output);

  if (inData->appl_id != PF_APPL_ID_PREMIERE) return PF_Err_UNRECOGNIZED_PARAM_TYPE;

  PrPixelFormat pixelFormat = PrPixelFormat_Invalid;
  {
    PixelFormatSuite formats(inData, outData, kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1);
    if (formats->GetPixelFormat) formats->GetPixelFormat(output, &pixelFormat);
  }
  const auto format = ToGpuFormat(pixelFormat);
  const auto supported = GetSupportedFormats();
  if (std::find(supported.begin(), supported.end(), format) == supported.end()) return PF_Err_UNRECOGNIZED_PARAM_TYPE;

  // Worlds the transfers cannot cover safely are refused before any pixel
  // is touched.
  const auto bytesPerPixel = gpu::GetBytesPerPixel(format);
  const auto inputView = ImageView::Describe(input, bytesPerPixel);
  const auto outputView = ImageView::Describe(*output, bytesPerPixel);
  if (!inputView || !outputView) return PF_Err_BAD_CALLBACK_PARAM;

  if (RenderEffect(*effect, *clip.slots, inData, params, *inputView, *outputView, format, GetRenderTime(*inData))) {
    return PF_Err_NONE;
  }
  return CopyInput(inData, input, output);
}

bool LumaroEffect::RenderEffect(ICustomEffect& effect, const SlotMap& slots, const PF_InData* inData,
                                PF_ParamDef* params[], const ImageView& input, const ImageView& output,
                                eGpuFormat format, const correction::RenderTime& time) {
  std::lock_guard lock(renderMutex_);
  panel_->SynchroniseHostToEffect(effect, slots, inData, params,
                                  controls::HostFrame::Of(*inData, input.width, input.height));
  return renderer_->Render(effect, input, output, format, time);
}

bool LumaroEffect::SwizzleImage(gpu::IImage2D& input, gpu::IImage2D& output) {
  std::lock_guard lock(renderMutex_);
  return renderer_->SwizzleImage(input, output);
}

} // namespace brantok::lumaro::ae
