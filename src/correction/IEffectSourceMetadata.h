#pragma once

#include "correction/effects/IControl.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brantok::lumaro::correction {

// What an effect package's metadata.json says about the effect.
class IEffectSourceMetadata {
public:
  virtual ~IEffectSourceMetadata() = default;

  virtual std::optional<std::string> GetTitle() const = 0;
  // The name of the kernel function in kernel.cl.
  virtual std::optional<std::string> GetEntryPoint() const = 0;
  // In document order, which is also the order of the kernel arguments.
  virtual const std::vector<std::shared_ptr<effects::IControl>>& GetControls() const = 0;
};

} // namespace brantok::lumaro::correction
