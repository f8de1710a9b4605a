#pragma once

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
  using EffectMap =
      std::unordered_map<correction::Uuid, std::shared_ptr<correction::ICustomEffect>, correction::UuidHash>;

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

  // The sequence's effect: from the map when its id is known, else loaded
  // from the stored path under a fresh id written into `record`. Null when
  // there is no record, no path, no file, the package cannot be loaded, or
  // the user turned the effect off.
  std::shared_ptr<correction::ICustomEffect> GetEffect(const PF_InData* inData, PF_OutData* outData,
                                                       const PF_ParamDef* effectPath, SequenceData* record);

  // The parameter panel's operations (ParameterPanel).
  void SynchroniseHostToEffect(correction::ICustomEffect& effect, const PF_InData* inData, PF_ParamDef* params[],
                               const controls::HostFrame& frame) const;
  std::unordered_set<int> SynchroniseEffectToHost(PF_InData* inData, PF_OutData* outData,
                                                  const correction::ICustomEffect& effect, PF_ParamDef* params[],
                                                  bool setValues) const;
  bool UpdatePopup(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], A_long index,
                   const std::vector<std::string>& choices, std::optional<A_short> newDefault,
                   const std::optional<std::string>& newName) const;

  // Under the render lock: the host's values into the effect's controls, then
  // the frame through FrameRenderer. True when the GPU wrote the output.
  bool RenderEffect(correction::ICustomEffect& effect, const PF_InData* inData, PF_ParamDef* params[],
                    const ImageView& input, const ImageView& output, gpu::eGpuFormat format,
                    const correction::RenderTime& time);
  // False when the pass could not be set up or launched.
  bool SwizzleImage(gpu::IImage2D& input, gpu::IImage2D& output);

  // The sequence record behind in_data->sequence_data, or null. Throws the
  // integer error PF_Err_INTERNAL_STRUCT_DAMAGED for a record the host says
  // is shorter than 32 bytes.
  static SequenceData* GetSequenceData(const PF_InData* inData);
  static bool IsShortSequenceData(const PF_InData& inData);
  static correction::RenderTime GetRenderTime(const PF_InData& inData);

  // Whether frames render with `effect`: it built from a source.
  static bool CanRun(const correction::ICustomEffect* effect);
  // What the Effect popup's item adds to the name of an effect that cannot run.
  static constexpr const char* CannotRunNote = "cannot run";

  std::size_t GetLoadedEffectCount() const;

  // The effect map, for the user's actions.
  // Erases the sequence's effect and clears its id, so that GetEffect loads
  // the package again.
  void ForgetEffect(SequenceData& record);
  // Turns the sequence's effect off until the user chooses an effect again:
  // GetEffect then finds no effect and loads none. The effect is kept for
  // GetPreviousEffect.
  void TurnEffectOff(SequenceData& record);
  // Erases the sequence's effect, kept one included, and turns it off: a
  // choice that failed leaves nothing for a late frame to load.
  void DropEffect(SequenceData& record);
  bool HasLiveEffect(const SequenceData& record) const;
  // The effect the sequence had last, live or turned off; null when none.
  std::shared_ptr<correction::ICustomEffect> GetPreviousEffect(const SequenceData& record) const;
  // Reads and builds the package at `path` for a user's choice, without
  // giving it to any sequence yet, so that frames never see it half set up.
  // Null (logged) when it cannot be loaded.
  std::shared_ptr<correction::ICustomEffect> LoadEffect(const std::filesystem::path& path);
  // Gives `effect` to the sequence under a fresh id, in place of its previous
  // one, in one step: no frame finds the sequence without an effect between.
  void AssignEffect(SequenceData& record, std::shared_ptr<correction::ICustomEffect> effect);

private:
  std::shared_ptr<gpu::IContext> GetContextLocked();
  // The effect-map lock is held.
  std::shared_ptr<correction::ICustomEffect> LoadLocked(const std::filesystem::path& path);

  // Also taken to read control values that a frame may be writing.
  mutable std::mutex renderMutex_;
  mutable std::mutex effectMapMutex_;
  std::shared_ptr<correction::EffectCache> effectCache_;
  EffectMap effects_;
  gpu::ContextFactory contextFactory_;
  std::shared_ptr<gpu::IContext> context_;
  std::mutex creationMutex_;
  bool contextFailed_ = false; // guarded by creationMutex_
  std::unique_ptr<ParameterPanel> panel_;
  std::unique_ptr<FrameRenderer> renderer_;
  std::unique_ptr<UserActions> actions_;
};

} // namespace brantok::lumaro::ae
