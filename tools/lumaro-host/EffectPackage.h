#pragma once

#include "ae/sdk/EffectApi.h"
#include "correction/effects/IControl.h"

#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace brantok::lumaro::host {

// An effect package as the plug-in's own package and metadata code reads it,
// with the host parameter that shows each control: the control at position p
// of kind k (0 colour, 1 slider, 2 choice, 3 angle, 4 checkbox, 5 point)
// lives at parameter 6 + 6p + k, and
// the host has parameters up to 101, so the first sixteen controls have one.
class EffectPackage {
public:
  enum class eKind { Color = 0, Slider = 1, Choice = 2, Angle = 3, Checkbox = 4, Point = 5 };

  struct Control {
    std::shared_ptr<correction::effects::IControl> control;
    eKind kind;
    std::optional<PF_ParamIndex> parameter;
  };

  // Throws CliError with the reader's reason when the package cannot be read
  // or its metadata is not valid.
  explicit EffectPackage(const std::filesystem::path& path);

  const std::filesystem::path& Path() const { return path_; }
  // The metadata's title, else the file's stem.
  const std::string& Name() const { return name_; }
  const std::string& Kernel() const { return kernel_; }
  const std::vector<Control>& Controls() const { return controls_; }
  const Control* Find(const std::string& id) const;
  std::vector<PF_ParamIndex> ParameterIndices() const;

  // id, kind, label, parameter, range or options, default and starting value
  // of every control, and the package's name, file, kernel and prompt.
  nlohmann::json Describe() const;

private:
  std::filesystem::path path_;
  std::string name_;
  std::string kernel_;
  std::string prompt_;
  std::vector<Control> controls_;
};

} // namespace brantok::lumaro::host
