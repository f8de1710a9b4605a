#pragma once

#include "ae/ClipState.h"
#include "ae/IGlobalPluginInstance.h"
#include "ae/ImageView.h"
#include "ae/controls/IControlParameter.h"
#include "correction/ICustomEffect.h"
#include "correction/Uuid.h"
#include "gpu/ContextFactory.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace brantok::lumaro::gpu {
class IImage2D;
} // namespace brantok::lumaro::gpu

namespace brantok::lumaro::correction {
class EffectCache;
}

namespace brantok::lumaro::ae {

class FrameRenderer;
class ParameterPanel;
class UserActions;
struct SequenceData;

// The one plug-in instance, from GLOBAL_SETUP to GLOBAL_SETDOWN. It owns what
// all uses of the effect share: the GPU context (made on first need by the
// factory it is given), the compiled programs and the loaded effects, one per
// sequence id, and answers the host's commands. Rendering, the parameter
// panel and the user's actions each have a class of their own
// (FrameRenderer, ParameterPanel, UserActions) that it hands the work to.
//
// Two locks: the render lock for the GPU work of one frame and the
// effect-map lock for finding, loading and forgetting effects. They are never
// held together; a small creation lock inside the shared-object getters makes
// their first creation safe from either side.
class LumaroEffect final : public IGlobalPluginInstance {
public:
  using ClipMap = std::unordered_map<correction::Uuid, ClipState, correction::UuidHash>;
  // A clip's effect and where the host holds its values, as one frame or
  // panel refresh uses them.
  struct ClipView {
    std::shared_ptr<correction::ICustomEffect> effect;
    std::shared_ptr<const SlotMap> slots;
    std::shared_ptr<const std::string> bytes; // the package it was read from
    bool fromProject = false;                 // the copy kept in the project: the file is missing
  };

  // Registers the frame formats with Premiere Pro. Throws the integer error
  // when the host cannot give the pixel format suite.
  LumaroEffect(PF_InData* inData, PF_OutData* outData, gpu::ContextFactory contextFactory);
  ~LumaroEffect() override;
  LumaroEffect(const LumaroEffect&) = delete;
  LumaroEffect& operator=(const LumaroEffect&) = delete;

  PF_Err About(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], PF_LayerDef* output) override;
  PF_Err SequenceSetup(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], PF_LayerDef* output) override;
  PF_Err SequenceResetup(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], PF_LayerDef* output) override;
  PF_Err SequenceSetdown(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], PF_LayerDef* output) override;
  PF_Err ParamsSetup(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], PF_LayerDef* output) override;
  PF_Err Render(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], PF_LayerDef* output) override;
  PF_Err UserChangedParam(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], PF_LayerDef* output,
                          void* extra) override;
  PF_Err UpdateParameterUI(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], PF_LayerDef* output) override;
  PF_Err ArbitraryCallback(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], PF_LayerDef* output,
                           void* extra) override;
  std::vector<gpu::eGpuFormat> GetSupportedFormats() const override;

  // Throws std::runtime_error when no GPU context can be made, logging that
  // once; later calls throw again without another search.
  std::shared_ptr<gpu::IContext> GetContext();
  std::shared_ptr<correction::EffectCache> GetEffectCache();
  // True once no GPU context could be made; then none is tried again.
  bool LacksGpuDevice();

  // The sequence's effect: from its clip when its id is known (read again
  // first when the package file changed), else loaded from the stored path
  // under a fresh id written into `record`. Null when there is no record, no
  // path, no file, the package cannot be loaded, or the user turned the
  // effect off.
  std::shared_ptr<correction::ICustomEffect> GetEffect(const PF_InData* inData, PF_OutData* outData,
                                                       const PF_ParamDef* effectPath, SequenceData* record);
  // The same with where the host holds the effect's values.
  ClipView GetClip(const PF_InData* inData, PF_OutData* outData, const PF_ParamDef* effectPath, SequenceData* record);

  // Under the render lock: the host's values into the effect's controls
  // (through `slots`), then the frame through FrameRenderer. True when the
  // GPU wrote the output.
  bool RenderEffect(correction::ICustomEffect& effect, const SlotMap& slots, const PF_InData* inData,
                    PF_ParamDef* params[], const ImageView& input, const ImageView& output, gpu::eGpuFormat format,
                    const correction::RenderTime& time);
  // False when the pass could not be set up or launched.
  bool SwizzleImage(gpu::IImage2D& input, gpu::IImage2D& output);

  // The sequence record behind in_data->sequence_data, or null. Throws the
  // integer error PF_Err_INTERNAL_STRUCT_DAMAGED for a record the host says
  // is shorter than 32 bytes.
  static SequenceData* GetSequenceData(const PF_InData* inData);
  static bool IsShortSequenceData(const PF_InData& inData);
  static correction::RenderTime GetRenderTime(const PF_InData& inData);

  // What the Effect popup's item adds to the name of an effect that cannot run.
  static constexpr const char* CannotRunNote = "cannot run";
  // ... of an effect that renders from the copy kept in the project.
  static constexpr const char* KeptInProjectNote = "kept in project";

  std::size_t GetLoadedEffectCount() const;

  // The clips, for the user's actions.
  // Erases the sequence's clip and clears its id, so that GetEffect loads
  // the package again.
  void ForgetEffect(SequenceData& record);
  // Turns the sequence's effect off until the user chooses an effect again:
  // GetEffect then finds no effect and loads none. The clip is kept for
  // GetPreviousClip.
  void TurnEffectOff(SequenceData& record);
  // Erases the sequence's clip and turns it off: a choice that failed leaves
  // nothing for a late frame to load.
  void DropEffect(SequenceData& record);
  bool HasLiveEffect(const SequenceData& record) const;
  // The effect the sequence had last, live or turned off, and where the host
  // holds its values; empty when none.
  ClipView GetPreviousClip(const SequenceData& record) const;
  // The package at `path` as it is on disk now, read and built for a user's
  // choice without giving it to any sequence yet, so that frames never see
  // it half set up. No effect (logged) when it cannot be loaded.
  struct LoadedEffect {
    std::shared_ptr<correction::ICustomEffect> effect;
    std::optional<core::FileStamp> stamp;     // the version it was read from
    std::shared_ptr<const std::string> bytes; // the package as read
  };
  // With `bytes`, the package is read from them (the copy kept in the
  // project) instead of from the file.
  LoadedEffect LoadEffect(const std::filesystem::path& path, std::shared_ptr<const std::string> bytes = nullptr);
  // Gives `loaded` (read from `path`) to the sequence under a fresh id, in
  // place of its previous clip, in one step: no frame finds the sequence
  // without an effect between. The host holds its values as `slots` says.
  void AssignEffect(SequenceData& record, const std::filesystem::path& path, LoadedEffect loaded, SlotMap slots,
                    bool fromProject = false);
  // The host now holds the sequence's values as `slots` says.
  void SetClipSlots(const SequenceData& record, SlotMap slots);

private:
  std::shared_ptr<gpu::IContext> GetContextLocked();
  // The effect-map lock is held.
  // `bytes`: the package already in memory (the copy kept in a project).
  ClipState::Loaded LoadLocked(const std::filesystem::path& path, std::shared_ptr<const std::string> bytes = nullptr);

  // Also taken to read control values that a frame may be writing.
  mutable std::mutex renderMutex_;
  mutable std::mutex effectMapMutex_;
  std::shared_ptr<correction::EffectCache> effectCache_;
  ClipMap clips_;
  FileWatch files_;
  gpu::ContextFactory contextFactory_;
  std::shared_ptr<gpu::IContext> context_;
  std::mutex creationMutex_;
  bool contextFailed_ = false; // guarded by creationMutex_
  std::unique_ptr<ParameterPanel> panel_;
  std::unique_ptr<FrameRenderer> renderer_;
  std::unique_ptr<UserActions> actions_;
};

} // namespace brantok::lumaro::ae
