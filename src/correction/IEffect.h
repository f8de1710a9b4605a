#pragma once

#include "correction/effects/IControl.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brantok::lumaro::correction {

// A loaded effect as the host layer holds it.
class IEffect {
public:
  virtual ~IEffect() = default;

  virtual std::string GetName() const = 0;
  // Two descriptive texts and a flag that other kinds of effect may fill in;
  // a prompt effect has none.
  virtual std::optional<std::string> GetDescription() const = 0;
  virtual std::optional<std::string> GetCategory() const = 0;
  virtual bool IsBuiltIn() const = 0;
  virtual const std::vector<std::shared_ptr<effects::IControl>>& GetControls() const = 0;
  // The first control with exactly this id, or null.
  virtual std::shared_ptr<effects::IControl> FindControl(const std::string& id) const = 0;
};

} // namespace brantok::lumaro::correction
