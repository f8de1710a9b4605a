#pragma once

#include "ae/IGlobalPluginInstance.h"
#include "ae/ImageView.h"
#include "ae/controls/IControlParameter.h"
#include "correction/ICustomEffect.h"
#include "correction/Uuid.h"

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
class IContext;
class IImage2D;
class IProgram;
class IQueue;
} // namespace brantok::lumaro::gpu

namespace brantok::lumaro::correction {
class EffectCache;
}

namespace brantok::lumaro::ae {

class ImagePool;
struct SequenceData;

// The one plug-in instance, from GLOBAL_SETUP to GLOBAL_SETDOWN. It owns what
// all uses of the effect share: the GPU objects (made on first need), the
// compiled programs and the loaded effects, one per sequence id.
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
  LumaroEffect(PF_InData* inData, PF_OutData* outData);
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
  ImagePool& GetImagePool();

  // The sequence's effect: from the map when its id is known, else loaded
  // from the stored path under a fresh id written into `record`. Null when
  // there is no record, no path, no file, the package cannot be loaded, or
  // the user turned the effect off.
  std::shared_ptr<correction::ICustomEffect> GetEffect(const PF_InData* inData, PF_OutData* outData,
                                                       const PF_ParamDef* effectPath, SequenceData* record);

  // Host parameter values into the effect's controls.
  // `frame` measures point parameters.
  void SynchroniseHostToEffect(correction::ICustomEffect& effect, const PF_InData* inData, PF_ParamDef* params[],
                               const controls::HostFrame& frame) const;
  // Shows the effect's controls on the host (labels, ranges, options,
  // defaults, and with `setValues` the current values); returns the indices
  // shown.
  std::unordered_set<int> SynchroniseEffectToHost(PF_InData* inData, PF_OutData* outData,
                                                  const correction::ICustomEffect& effect, PF_ParamDef* params[],
                                                  bool setValues) const;
  bool UpdatePopup(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], A_long index,
                   const std::vector<std::string>& choices, std::optional<A_short> newDefault,
                   const std::optional<std::string>& newName) const;

  // True when the GPU wrote the output buffer.
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

  std::size_t GetLoadedEffectCount() const;

private:
  std::shared_ptr<gpu::IContext> GetContextLocked();
  // True once no GPU context could be made; then none is tried again.
  bool LacksGpuDevice();
  // The user's actions: the update button, the sync button, the Effect popup.
  PF_Err ReceiveSharedEffect(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], SequenceData& record);
  PF_Err ChangeEffect(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], SequenceData& record);
  // Loads the effect at `path` for the sequence, or resets the sequence to
  // no effect with `failure` shown when it cannot be loaded.
  void LoadChosenEffect(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], SequenceData& record,
                        const std::filesystem::path& path, const std::string& failure, std::unordered_set<int>& hidden);
  // Erases the sequence's effect and clears its id, so that GetEffect loads
  // the package again.
  void ForgetEffect(SequenceData& record);
  // Erases the sequence's effect and keeps it off until the user chooses an
  // effect again: GetEffect then finds no effect and loads none.
  void TurnEffectOff(SequenceData& record);
  bool HasLiveEffect(const SequenceData& record) const;
  // The sequence's effect for the user re-choosing the Effect popup's item:
  // the one already loaded, or read from the stored path when there is none
  // or the effect was turned off.
  struct ChosenEffect {
    std::shared_ptr<correction::ICustomEffect> effect;
    bool loaded = false; // read from the package by this call
  };
  ChosenEffect ReloadIfTurnedOff(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], SequenceData& record);
  void ShowEffect(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[],
                  const correction::ICustomEffect& effect, const std::string& name, bool setValues,
                  std::unordered_set<int>& hidden) const;
  void SetPopup(PF_InData* inData, PF_ParamDef* params[], A_long value) const;
  void RebuildPopup(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[],
                    const std::optional<std::filesystem::path>& path) const;
  void HideParams(PF_InData* inData, PF_OutData* outData, PF_ParamDef* params[], std::vector<A_long> indices) const;

  std::optional<std::unordered_set<gpu::eGpuFormat>> deviceFormats_;
  // Also taken to read control values that a frame may be writing.
  mutable std::mutex renderMutex_;
  mutable std::mutex effectMapMutex_;
  std::shared_ptr<correction::EffectCache> effectCache_;
  EffectMap effects_;
  std::shared_ptr<gpu::IContext> context_;
  std::unique_ptr<gpu::IQueue> queue_;
  std::unique_ptr<ImagePool> imagePool_;
  std::unique_ptr<gpu::IProgram> swizzleProgram_;
  std::mutex creationMutex_;
  bool contextFailed_ = false; // guarded by creationMutex_
};

} // namespace brantok::lumaro::ae
