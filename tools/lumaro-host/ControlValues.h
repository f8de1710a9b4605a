#pragma once

#include "EffectPackage.h"
#include "HostParameters.h"

#include <string>
#include <vector>

namespace brantok::lumaro::host {

// The values a render gives the package's control parameters: each control's
// starting value (its metadata `initial`, else `default`; colours white, alpha
// 255), then what --set ID=VALUE asks for.
class ControlValues {
public:
  explicit ControlValues(const EffectPackage& package);

  // "ID=VALUE". Slider: a number within the control's range; colour: #RRGGBB;
  // choice: an option's text or its 0-based index. Throws CliError for an
  // unknown id or a value that does not fit the control.
  void Set(const std::string& assignment);

  // Writes every value into its parameter.
  void ApplyTo(HostParameters& params) const;

private:
  struct Value {
    PF_ParamIndex index;
    EffectPackage::eKind kind;
    double number = 0; // slider
    PF_Pixel color{};  // colour
    A_long choice = 1; // 1-based popup value
  };

  const EffectPackage& package_;
  std::vector<Value> values_;
};

} // namespace brantok::lumaro::host
