#pragma once

#include "correction/ICustomEffect.h"

namespace brantok::lumaro::correction {

namespace effects::library {
class Entry;
}

// The effect made from an effect package: its look comes from the package's
// kernel, its controls from the metadata. The kernel takes the input image,
// the output image, the time in seconds, the frame index and the duration,
// then one argument per control in metadata order. No lock of its own: the
// host layer serialises access.
class PromptEffect final : public ICustomEffect {
public:
  // Reads the package and builds its program through the cache. A package that
  // cannot be read or built gives an effect that is not ready; invalid
  // metadata throws the JSON library's exception.
  PromptEffect(effects::library::Entry& entry, IEffectCache& cache);

  std::string GetName() const override;
  std::optional<std::string> GetDescription() const override;
  std::optional<std::string> GetCategory() const override;
  bool IsBuiltIn() const override;
  const std::vector<std::shared_ptr<effects::IControl>>& GetControls() const override;
  std::shared_ptr<effects::IControl> FindControl(const std::string& id) const override;

  std::optional<Uuid> GetProgramId() const override;
  std::shared_ptr<EffectSource> GetSource() const override;
  bool IsReady() const override;
  bool HasBuildFailed() const override;
  std::string GetBuildError() const override;
  bool Apply(IEffectCache& cache, gpu::IBuffer& input, gpu::IBuffer& output, gpu::IQueue& queue, const gpu::Int2& size,
             const std::optional<RenderTime>& time) override;

  // Parses the metadata and gets the program from the cache; adopts the new
  // controls only when the program has the kernel the metadata names and that
  // kernel declares the five fixed arguments and one per control, each of the
  // type its control uploads.
  bool BuildFromSource(IEffectCache& cache);

  // Replaces the controls, carrying each value over from an old control of the
  // same id and kind (a choice only when its option text is unchanged).
  void SetControls(const std::vector<std::shared_ptr<effects::IControl>>& controls);

private:
  std::string name_;
  std::optional<Uuid> programId_;
  std::string kernel_; // the metadata's entry point, once built
  std::string buildError_;
  std::shared_ptr<EffectSource> source_;
  std::vector<std::shared_ptr<effects::IControl>> controls_;
  bool buildFailed_ = false;
  std::string prompt_;
};

} // namespace brantok::lumaro::correction
