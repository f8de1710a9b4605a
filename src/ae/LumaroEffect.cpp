#include "ae/LumaroEffect.h"

#include "ae/EffectDeclaration.h"
#include "ae/EffectPath.h"
#include "ae/ImagePool.h"
#include "ae/InterfaceBuilder.h"
#include "ae/KeepString.h"
#include "ae/ParameterLayout.h"
#include "ae/PixelFormats.h"
#include "ae/ScopedSuite.h"
#include "ae/SequenceData.h"
#include "ae/controls/ControlParameters.h"
#include "core/Dialogs.h"
#include "core/Logger.h"
#include "core/PathText.h"
#include "core/ProductInformation.h"
#include "correction/EffectCache.h"
#include "correction/EffectSourceMetadata.h"
#include "correction/PromptEffect.h"
#include "correction/effects/library/Entry.h"
#include "gpu/IContext.h"
#include "gpu/IImage2D.h"
#include "gpu/IProgram.h"
#include "gpu/IQueue.h"
#include "gpu/opencl/Context.h"
#include "services/CompanionSync.h"
#include "services/UpdateCheck.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <stdexcept>

namespace brantok::lumaro::ae {

using core::eLogChannel;
using core::Logger;
using correction::ICustomEffect;
using correction::effects::IControl;
using gpu::eGpuFormat;
using gpu::eMemoryDeviceAccess;
using gpu::eMemoryHostAccess;

namespace {

constexpr std::size_t ImagePoolCapacity = 32;

// A string made once: every argument and launch of the two swizzle passes of a
// frame names the kernel.
const std::string SwizzleKernel = "SwizzleRgb";
constexpr const char* SwizzleSource =
    "__kernel void SwizzleRgb(__read_only image2d_t inputImage, __write_only image2d_t outputImage)\n"
    "{\n"
    "    const sampler_t sampler = CLK_NORMALIZED_COORDS_FALSE | CLK_ADDRESS_CLAMP_TO_EDGE | CLK_FILTER_NEAREST;\n"
    "    int2 coord = (int2)(get_global_id(0), get_global_id(1));\n"
    "    float4 pixel = read_imagef(inputImage, sampler, coord);\n"
    "    write_imagef(outputImage, coord, pixel.zyxw);\n"
    "}\n";

bool IsBgrFormat(eGpuFormat format) {
  return format == eGpuFormat::BGRA8 || format == eGpuFormat::BGRX8 || format == eGpuFormat::BGRA16 ||
         format == eGpuFormat::BGRX16 || format == eGpuFormat::BGRA32F;
}

// The GPU images hold the picture top row first, whatever the row order of
// the host's worlds, so the kernel sees every frame the same way up. A
// bottom-up world goes through a staging copy with its rows reversed.
std::vector<std::uint8_t> Reversed(const std::uint8_t* rows, std::size_t pitch, std::size_t rowSize,
                                   std::int32_t height) {
  std::vector<std::uint8_t> staging(rowSize * static_cast<std::size_t>(height));
  for (std::int32_t row = 0; row < height; ++row) {
    std::memcpy(staging.data() + static_cast<std::size_t>(height - 1 - row) * rowSize,
                rows + static_cast<std::size_t>(row) * pitch, rowSize);
  }
  return staging;
}

bool WriteInput(gpu::IQueue& queue, gpu::IImage2D& image, const ImageView& input) {
  const gpu::Int2 size{input.width, input.height};
  if (!input.bottomUp) return queue.WriteImage(image, {0, 0}, size, input.data, 0, input.pitch);
  const auto rowSize = static_cast<std::size_t>(input.width) * gpu::GetBytesPerPixel(image.GetFormat());
  const auto staging = Reversed(input.data, input.pitch, rowSize, input.height);
  return queue.WriteImage(image, {0, 0}, size, staging.data(), 0, rowSize);
}

bool ReadOutput(gpu::IQueue& queue, gpu::IImage2D& image, const ImageView& output) {
  if (!output.bottomUp) return queue.ReadImage(image, output.data, output.pitch);
  const auto rowSize = static_cast<std::size_t>(output.width) * gpu::GetBytesPerPixel(image.GetFormat());
  std::vector<std::uint8_t> staging(rowSize * static_cast<std::size_t>(output.height));
  if (!queue.ReadImage(image, staging.data(), rowSize)) return false;
  for (std::int32_t row = 0; row < output.height; ++row) {
    std::memcpy(output.data + static_cast<std::size_t>(output.height - 1 - row) * output.pitch,
                staging.data() + static_cast<std::size_t>(row) * rowSize, rowSize);
  }
  return true;
}

// The machine, not a package, stops effects: no OpenCL runtime, platform or
// device, or no context on the device.
class NoGpuDeviceError final : public std::runtime_error {
public:
  NoGpuDeviceError() : std::runtime_error("Failed to create GPU context. No suitable GPU API available.") {}
};

// Whether the package reads as an effect without a GPU: its kernel and its
// metadata are there and the metadata parses.
bool IsReadablePackage(const std::filesystem::path& path) {
  try {
    correction::effects::library::Entry entry(path);
    const auto source = entry.GetSource();
    if (!source) return false;
    const correction::EffectSourceMetadata metadata(source->metadata);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void ShowNoDeviceBox(const std::string& name) {
  core::ShowMessageBox(core::eMessageBoxType::Error,
                       "No OpenCL device was found, so '" + name +
                           "' cannot be rendered on this computer.\n\nA graphics driver with OpenCL support is "
                           "needed. The effect stays selected; until it can run, frames pass through unchanged.",
                       "No OpenCL Device");
}

PF_Err CopyInput(const PF_InData* inData, PF_LayerDef& input, PF_LayerDef* output) {
  if (!inData->utils || !inData->utils->copy) return PF_Err_INVALID_CALLBACK;
  return inData->utils->copy(inData->effect_ref, &input, output, nullptr, nullptr);
}

PF_ParamDef* FindParamOfType(const PF_InData* inData, PF_ParamDef* params[], A_long index, PF_ParamType type) {
  auto* def = FindParam(inData, params, index);
  return def && def->param_type == type ? def : nullptr;
}

void CallUpdateParamUI(const ParamUtilsSuite& suite, const PF_InData* inData, A_long index, const PF_ParamDef& def) {
  // Host errors here are cosmetic: the next parameter is still processed.
  if (suite->PF_UpdateParamUI) suite->PF_UpdateParamUI(inData->effect_ref, index, &def);
}

} // namespace

LumaroEffect::LumaroEffect(PF_InData* inData, PF_OutData* outData) {
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
  effects_.clear();
  effectCache_.reset();
  imagePool_.reset();
  queue_.reset();
  context_.reset();
  swizzleProgram_.reset();
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
  const auto* utils = inData->utils;
  if (!utils || !utils->host_new_handle || !utils->host_lock_handle || !utils->host_unlock_handle ||
      !utils->host_dispose_handle) {
    return PF_Err_INVALID_CALLBACK;
  }
  outData->sequence_data = utils->host_new_handle(sizeof(SequenceData));
  if (!outData->sequence_data) {
    Logger::Log("Failed to create out_data->sequence_data in Plugin::SequenceSetup", eLogChannel::Error);
    return PF_Err_INTERNAL_STRUCT_DAMAGED;
  }
  auto* data = utils->host_lock_handle(outData->sequence_data);
  if (!data) {
    // A record that cannot be written must not reach the project.
    Logger::Log("Failed to lock out_data->sequence_data in Plugin::SequenceSetup", eLogChannel::Error);
    utils->host_dispose_handle(outData->sequence_data);
    outData->sequence_data = nullptr;
    return PF_Err_INTERNAL_STRUCT_DAMAGED;
  }
  // Field by field into zeroed memory: the padding bytes of the record are
  // stored in projects too and must be zero.
  std::memset(data, 0, sizeof(SequenceData));
  auto* record = static_cast<SequenceData*>(data);
  const auto& version = core::ProductInformation::GetVersion();
  record->version.major = version.major;
  record->version.minor = version.minor;
  record->version.patch = version.patch;
  record->version.valid = version.valid;
  utils->host_unlock_handle(outData->sequence_data);
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
    if (const auto* record = GetSequenceData(inData); record->HasId()) {
      std::lock_guard lock(effectMapMutex_);
      effects_.erase(record->id);
    }
  }
  if (!inData->utils || !inData->utils->host_dispose_handle) return PF_Err_INVALID_CALLBACK;
  inData->utils->host_dispose_handle(inData->sequence_data);
  inData->sequence_data = nullptr;
  return PF_Err_NONE;
}

PF_Err LumaroEffect::ParamsSetup(PF_InData* inData, PF_OutData* outData, PF_ParamDef* /*params*/[],
                                 PF_LayerDef* /*output*/) {
  outData->num_params = 0;
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
  switch (changed->param_index) {
  case ParameterLayout::VersionButton:
    services::CheckForUpdates();
    return PF_Err_NONE;
  case ParameterLayout::SyncButton:
    return ReceiveSharedEffect(inData, outData, params, *record);
  case ParameterLayout::EffectPopup:
    return ChangeEffect(inData, outData, params, *record);
  default:
    return PF_Err_NONE;
  }
}

PF_Err LumaroEffect::ReceiveSharedEffect(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[],
                                         SequenceData& record) {
  const auto path = services::SyncFromLumaro();
  if (!path) return PF_Err_NONE;
  std::unordered_set<int> hidden(GetControlParamIndices().begin(), GetControlParamIndices().end());
  LoadChosenEffect(inData, outData, params, record, *path, "Unable to load shared effect", hidden);
  HideParams(inData, outData, params, {hidden.begin(), hidden.end()});
  return PF_Err_NONE;
}

PF_Err LumaroEffect::ChangeEffect(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], SequenceData& record) {
  std::unordered_set<int> hidden(GetControlParamIndices().begin(), GetControlParamIndices().end());
  const auto* popup = FindParamOfType(inData, params, ParameterLayout::EffectPopup, PF_Param_POPUP);
  const auto choice = popup ? popup->u.pd.value : ParameterLayout::PopupNone;
  if (choice == ParameterLayout::PopupNone) {
    TurnEffectOff(record);
  } else if (choice == ParameterLayout::PopupBrowse) {
    const auto chosen =
        core::OpenFileDialog("Select Lumaro Effect", {{"*.lumaro-effect", "Lumaro Effect"}}, std::nullopt);
    std::error_code error;
    if (!chosen) {
      SetPopup(inData, params, ParameterLayout::PopupNone);
    } else if (!std::filesystem::is_regular_file(*chosen, error)) {
      core::ShowMessageBox(core::eMessageBoxType::Error, "Unable to load selected file", "Invalid file");
    } else {
      LoadChosenEffect(inData, outData, params, record, *chosen, "Unable to load selected effect", hidden);
    }
  } else if (choice == ParameterLayout::PopupEffect) {
    const auto text = ReadEffectPath(inData, outData, FindParam(inData, params, ParameterLayout::EffectPath));
    if (!text || text->empty()) {
      SetPopup(inData, params, ParameterLayout::PopupNone);
    } else if (const auto chosen = ReloadIfTurnedOff(inData, outData, params, record); chosen.effect) {
      // Only a freshly loaded effect brings its starting values. One already
      // loaded holds whatever was last rendered with it, by this clip at
      // another time or by a duplicated clip sharing it; the clip keeps its own.
      ShowEffect(inData, outData, params, *chosen.effect, core::PathToNarrow(core::PathFromUtf8(*text).stem()),
                 chosen.loaded, hidden);
    } else if (LacksGpuDevice() && IsReadablePackage(core::PathFromUtf8(*text))) {
      ShowNoDeviceBox(core::PathToNarrow(core::PathFromUtf8(*text).stem()));
    } else {
      core::ShowMessageBox(core::eMessageBoxType::Error, "Unable to load selected effect", "Invalid Lumaro Effect");
      SetPopup(inData, params, ParameterLayout::PopupNone);
    }
  }
  HideParams(inData, outData, params, {hidden.begin(), hidden.end()});
  return PF_Err_NONE;
}

void LumaroEffect::LoadChosenEffect(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], SequenceData& record,
                                    const std::filesystem::path& path, const std::string& failure,
                                    std::unordered_set<int>& hidden) {
  auto* pathParam = FindParam(inData, params, ParameterLayout::EffectPath);
  // A path the project cannot hold is refused before anything changes, so the
  // clip never names one package and renders another.
  if (core::PathToUtf8(path).size() >= ParameterLayout::EffectPathSize) {
    core::ShowMessageBox(core::eMessageBoxType::Error,
                         "The effect's path is too long to be kept in the project (" +
                             std::to_string(ParameterLayout::EffectPathSize) +
                             " bytes or more). Move the effect to a folder with a shorter path and choose it again.",
                         "Invalid file");
    SetPopup(inData, params, HasLiveEffect(record) ? ParameterLayout::PopupEffect : ParameterLayout::PopupNone);
    hidden.clear();
    return;
  }
  if (!WriteEffectPath(inData, outData, pathParam, core::PathToUtf8(path))) {
    Logger::Log("Failed to write effect path to data parameter", eLogChannel::Error);
  }
  ForgetEffect(record);
  if (const auto effect = GetEffect(inData, outData, pathParam, &record)) {
    SetPopup(inData, params, ParameterLayout::PopupEffect);
    RebuildPopup(inData, outData, params, path);
    ShowEffect(inData, outData, params, *effect, core::PathToNarrow(path.stem()), true, hidden);
    return;
  }
  if (LacksGpuDevice() && IsReadablePackage(path)) {
    // The package is sound: the project keeps it for a machine with a device.
    SetPopup(inData, params, ParameterLayout::PopupEffect);
    RebuildPopup(inData, outData, params, path);
    ShowNoDeviceBox(core::PathToNarrow(path.stem()));
    return;
  }
  WriteEffectPath(inData, outData, pathParam, "");
  ForgetEffect(record);
  SetPopup(inData, params, ParameterLayout::PopupNone);
  RebuildPopup(inData, outData, params, std::nullopt);
  core::ShowMessageBox(core::eMessageBoxType::Error, failure, "Invalid Lumaro Effect");
}

void LumaroEffect::ForgetEffect(SequenceData& record) {
  if (!record.HasId()) return;
  std::lock_guard lock(effectMapMutex_);
  effects_.erase(record.id);
  record.id = correction::Uuid{};
}

void LumaroEffect::TurnEffectOff(SequenceData& record) {
  std::lock_guard lock(effectMapMutex_);
  if (record.HasId()) effects_.erase(record.id);
  // Not a cleared id, which a frame asked for before the user chose None would
  // take as a project to load the package for.
  record.TurnOff();
}

bool LumaroEffect::HasLiveEffect(const SequenceData& record) const {
  std::lock_guard lock(effectMapMutex_);
  return record.HasId() && effects_.count(record.id) != 0;
}

LumaroEffect::ChosenEffect LumaroEffect::ReloadIfTurnedOff(PF_InData* inData, PF_OutData* outData,
                                                           PF_ParamDef* params[], SequenceData& record) {
  correction::Uuid before;
  {
    std::lock_guard lock(effectMapMutex_);
    // Choosing the effect again after None reads the package from disk.
    if (record.IsTurnedOff()) record.id = correction::Uuid{};
    before = record.id;
  }
  auto effect = GetEffect(inData, outData, FindParam(inData, params, ParameterLayout::EffectPath), &record);
  return {std::move(effect), record.id != before};
}

void LumaroEffect::ShowEffect(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[],
                              const ICustomEffect& effect, const std::string& name, bool setValues,
                              std::unordered_set<int>& hidden) const {
  for (const auto index : SynchroniseEffectToHost(inData, outData, effect, params, setValues)) hidden.erase(index);
  if (effect.HasBuildFailed()) {
    auto text = "'" + name + "' failed to load and will be disabled.\n\nFor details, see the log file at: " +
                core::PathToNarrow(Logger::GetLogDirectory());
    if (const auto reason = effect.GetBuildError(); !reason.empty()) text += "\n\n" + reason;
    core::ShowMessageBox(core::eMessageBoxType::Error, text, "Unsupported Lumaro Effect");
  }
}

void LumaroEffect::SetPopup(PF_InData* inData, PF_ParamDef* params[], A_long value) const {
  auto* popup = FindParamOfType(inData, params, ParameterLayout::EffectPopup, PF_Param_POPUP);
  if (!popup) return;
  popup->u.pd.value = value;
  popup->uu.change_flags = PF_ChangeFlag_CHANGED_VALUE;
}

void LumaroEffect::RebuildPopup(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[],
                                const std::optional<std::filesystem::path>& path) const {
  const auto choices = BuildEffectChoices(path);
  UpdatePopup(inData, outData, params, ParameterLayout::EffectPopup, {choices.begin(), choices.end()}, std::nullopt,
              std::nullopt);
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
  return effects_.size();
}

std::shared_ptr<gpu::IContext> LumaroEffect::GetContextLocked() {
  if (!context_) {
    // The runtime lists its drivers once per process, so a machine without a
    // device stays without one: asking again would repeat the search, and its
    // log, on every frame.
    if (contextFailed_) throw NoGpuDeviceError();
    context_ = gpu::opencl::Context::CreateContext();
    if (!context_) {
      contextFailed_ = true;
      Logger::Log("No OpenCL device was found: a graphics driver with OpenCL support is needed to render effects; "
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

ImagePool& LumaroEffect::GetImagePool() {
  std::lock_guard lock(creationMutex_);
  if (!imagePool_) imagePool_ = std::make_unique<ImagePool>(GetContextLocked(), ImagePoolCapacity);
  return *imagePool_;
}

std::shared_ptr<ICustomEffect> LumaroEffect::GetEffect(const PF_InData* inData, PF_OutData* outData,
                                                       const PF_ParamDef* effectPath, SequenceData* record) {
  std::lock_guard lock(effectMapMutex_);
  // Without a record there is no id to keep the effect under.
  if (!record || record->IsTurnedOff()) return nullptr;
  if (record->HasId()) {
    if (const auto found = effects_.find(record->id); found != effects_.end()) return found->second;
  }
  const auto text = ReadEffectPath(inData, outData, effectPath);
  if (!text || text->empty()) return nullptr;
  const auto path = core::PathFromUtf8(*text);
  if (!std::filesystem::exists(path)) return nullptr;
  try {
    correction::effects::library::Entry entry(path);
    std::shared_ptr<ICustomEffect> effect = std::make_shared<correction::PromptEffect>(entry, *GetEffectCache());
    const auto id = correction::Uuid::Generate();
    record->id = id;
    effects_[id] = effect;
    return effect;
  } catch (const NoGpuDeviceError&) {
    // Said once, when the context could not be made.
    return nullptr;
  } catch (const std::exception& error) {
    Logger::Log("Failed to load effect from path: " + core::PathToNarrow(path) + ". Error: " + error.what(),
                eLogChannel::Error);
    return nullptr;
  }
}

void LumaroEffect::SynchroniseHostToEffect(ICustomEffect& effect, const PF_InData* inData, PF_ParamDef* params[],
                                           const controls::HostFrame& frame) const {
  ForEachControl(effect.GetControls(), [&](const std::shared_ptr<IControl>& control, A_long index, eControl kind) {
    const auto& parameter = controls::ControlParameters::For(kind);
    if (const auto* def = FindParamOfType(inData, params, index, parameter.GetHostType())) {
      parameter.ReadHostValue(*def, *control, frame);
    }
  });
}

std::unordered_set<int> LumaroEffect::SynchroniseEffectToHost(PF_InData* inData, PF_OutData* outData,
                                                              const ICustomEffect& effect, PF_ParamDef* params[],
                                                              bool setValues) const {
  std::unordered_set<int> shown;
  const bool disabled = effect.HasBuildFailed();
  // A frame may be writing the controls' values right now; they are read
  // once, under the render lock, and the host is called without it.
  std::vector<correction::effects::ControlValue> values;
  if (setValues) {
    std::lock_guard lock(renderMutex_);
    for (const auto& control : effect.GetControls()) values.push_back(control->GetValue());
  }
  const auto frame = controls::HostFrame::Of(*inData, inData->width, inData->height);
  ForEachControl(effect.GetControls(), [&](const std::shared_ptr<IControl>& control, A_long index, eControl kind) {
    const auto& parameter = controls::ControlParameters::For(kind);
    auto* def = FindParamOfType(inData, params, index, parameter.GetHostType());
    if (!def) return;
    ParamUtilsSuite suite(inData, outData, kPFParamUtilsSuite, kPFParamUtilsSuiteVersion3);
    def->ui_flags &= ~PF_PUI_INVISIBLE;
    def->ui_flags = disabled ? (def->ui_flags | PF_PUI_DISABLED) : (def->ui_flags & ~PF_PUI_DISABLED);
    CallUpdateParamUI(suite, inData, index, *def);
    auto copy = *def;
    SetParamName(copy, control->GetLabel());
    parameter.Describe(copy, *control);
    CallUpdateParamUI(suite, inData, index, copy);
    if (setValues) {
      const auto position =
          static_cast<std::size_t>((index - ParameterLayout::FirstControlParam) / ParameterLayout::KindsPerSlot);
      parameter.WriteHostValue(*def, *control, values[position], frame);
      def->uu.change_flags = PF_ChangeFlag_CHANGED_VALUE;
    }
    shown.insert(index);
  });
  return shown;
}

bool LumaroEffect::UpdatePopup(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], A_long index,
                               const std::vector<std::string>& choices, std::optional<A_short> newDefault,
                               const std::optional<std::string>& newName) const {
  const auto* def = FindParamOfType(inData, params, index, PF_Param_POPUP);
  if (!def) return false;
  auto copy = *def;
  if (newName) SetParamName(copy, *newName);
  copy.u.pd.u.namesptr = KeepString(JoinChoices(choices));
  copy.u.pd.num_choices = static_cast<A_short>(std::min<std::size_t>(choices.size(), 0x7FFF));
  if (newDefault) copy.u.pd.dephault = *newDefault;
  ParamUtilsSuite suite(inData, outData, kPFParamUtilsSuite, kPFParamUtilsSuiteVersion3);
  if (!suite->PF_UpdateParamUI) return false;
  return suite->PF_UpdateParamUI(inData->effect_ref, index, &copy) == PF_Err_NONE;
}

void LumaroEffect::HideParams(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[],
                              std::vector<A_long> indices) const {
  if (indices.empty()) return;
  std::sort(indices.begin(), indices.end());
  ParamUtilsSuite suite(inData, outData, kPFParamUtilsSuite, kPFParamUtilsSuiteVersion3);
  for (const auto index : indices) {
    auto* def = FindParam(inData, params, index);
    if (!def) continue;
    def->ui_flags |= PF_PUI_INVISIBLE;
    CallUpdateParamUI(suite, inData, index, *def);
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
  const auto choices = BuildEffectChoices(path);
  UpdatePopup(inData, outData, params, ParameterLayout::EffectPopup, {choices.begin(), choices.end()}, std::nullopt,
              std::nullopt);

  const auto* popup = FindParamOfType(inData, params, ParameterLayout::EffectPopup, PF_Param_POPUP);
  const auto choice = popup ? popup->u.pd.value : ParameterLayout::PopupNone;
  if (choice != ParameterLayout::PopupNone && choice != ParameterLayout::PopupEffect) return PF_Err_NONE;

  std::unordered_set<int> shown;
  if (choice == ParameterLayout::PopupEffect) {
    if (const auto effect = GetEffect(inData, outData, pathParam, record)) {
      shown = SynchroniseEffectToHost(inData, outData, *effect, params, false);
    }
  }
  std::vector<A_long> hidden;
  for (const auto index : GetControlParamIndices()) {
    if (!shown.count(index)) hidden.push_back(index);
  }
  HideParams(inData, outData, params, hidden);
  return PF_Err_NONE;
}

PF_Err LumaroEffect::Render(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], PF_LayerDef* output) {
  if (!params || !params[0] || !output) return PF_Err_BAD_CALLBACK_PARAM;
  auto& input = params[0]->u.ld;

  const auto* popup = FindParamOfType(inData, params, ParameterLayout::EffectPopup, PF_Param_POPUP);
  if (!popup || popup->u.pd.value != ParameterLayout::PopupEffect) return CopyInput(inData, input, output);

  const auto effect =
      GetEffect(inData, outData, FindParam(inData, params, ParameterLayout::EffectPath), GetSequenceData(inData));
  if (!effect || effect->HasBuildFailed() || !effect->GetSource()) return CopyInput(inData, input, output);

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

  if (RenderEffect(*effect, inData, params, *inputView, *outputView, format, GetRenderTime(*inData))) {
    return PF_Err_NONE;
  }
  return CopyInput(inData, input, output);
}

bool LumaroEffect::RenderEffect(ICustomEffect& effect, const PF_InData* inData, PF_ParamDef* params[],
                                const ImageView& input, const ImageView& output, eGpuFormat format,
                                const correction::RenderTime& time) {
  std::lock_guard lock(renderMutex_);
  SynchroniseHostToEffect(effect, inData, params, controls::HostFrame::Of(*inData, input.width, input.height));

  if (!queue_) {
    queue_ = GetContext()->CreateQueue(std::nullopt);
    // A refused queue is not kept: the next frame asks again.
    if (!queue_ || !queue_->IsValid()) {
      queue_.reset();
      Logger::Log("Frame not rendered: no GPU command queue", eLogChannel::Error);
      return false;
    }
  }
  if (!deviceFormats_) deviceFormats_ = GetContext()->GetSupportedImageFormats(eMemoryDeviceAccess::ReadWrite);
  auto& pool = GetImagePool();
  const auto cache = GetEffectCache();
  const gpu::Int2 inputSize{input.width, input.height};
  const gpu::Int2 outputSize{output.width, output.height};

  // Each step must succeed before the next: an image is read back only when
  // this frame's kernel wrote it, never with what a pooled image held before.
  const auto rendered = [&](bool ok, const char* step) {
    if (!ok) Logger::Log(std::string("Frame not rendered: ") + step + " failed", eLogChannel::Error);
    return ok;
  };

  if (deviceFormats_->count(format)) {
    const auto source = pool.Get(inputSize, format, eMemoryDeviceAccess::Read, eMemoryHostAccess::Write);
    const auto target = pool.Get(outputSize, format, eMemoryDeviceAccess::Write, eMemoryHostAccess::Read);
    return rendered(source->IsValid() && target->IsValid(), "image creation") &&
           rendered(WriteInput(*queue_, *source, input), "input transfer") &&
           rendered(effect.Apply(*cache, *source, *target, *queue_, outputSize, time), "the effect") &&
           rendered(ReadOutput(*queue_, *target, output), "output transfer");
  }

  const bool sameSize = inputSize.x == outputSize.x && inputSize.y == outputSize.y;
  if (IsBgrFormat(format) && sameSize && deviceFormats_->count(ToRgbFormat(format))) {
    const auto rgb = ToRgbFormat(format);
    const auto swapped = pool.Get(inputSize, rgb, eMemoryDeviceAccess::ReadWrite, eMemoryHostAccess::Write);
    const auto ordered = pool.Get(inputSize, rgb, eMemoryDeviceAccess::ReadWrite, eMemoryHostAccess::Read);
    // The frame's bytes go in unchanged, so red and blue arrive exchanged;
    // one swizzle pass puts them right for the kernel, another undoes it.
    return rendered(swapped->IsValid() && ordered->IsValid(), "image creation") &&
           rendered(WriteInput(*queue_, *swapped, input), "input transfer") &&
           rendered(SwizzleImage(*swapped, *ordered), "channel swap") &&
           rendered(effect.Apply(*cache, *ordered, *swapped, *queue_, outputSize, time), "the effect") &&
           rendered(SwizzleImage(*swapped, *ordered), "channel swap") &&
           rendered(ReadOutput(*queue_, *ordered, output), "output transfer");
  }

  throw std::runtime_error("Unsupported GPU pixel format for LumaroEffect: " +
                           std::to_string(static_cast<std::int32_t>(format)));
}

bool LumaroEffect::SwizzleImage(gpu::IImage2D& input, gpu::IImage2D& output) {
  if (!swizzleProgram_) {
    swizzleProgram_ = GetContext()->CreateProgram(SwizzleSource, {SwizzleKernel}, {}, std::nullopt,
                                                  {gpu::eBuildOption::FastRelaxedMath});
  }
  return swizzleProgram_->SetArgument(*queue_, SwizzleKernel, 0, input) &&
         swizzleProgram_->SetArgument(*queue_, SwizzleKernel, 1, output) &&
         swizzleProgram_->Run(*queue_, SwizzleKernel, output.GetDimensions(), std::nullopt);
}

} // namespace brantok::lumaro::ae
