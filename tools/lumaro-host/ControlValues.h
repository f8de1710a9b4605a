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
  // choice: an option's text or its 0-based index; checkbox: true, false, 1
  // or 0; angle: degrees; point: "x,y" as fractions of the frame. Throws
  // CliError for an unknown id or a value that does not fit the control.
  void Set(const std::string& assignment);

  // One line for people: the package's name and each control's label and
  // value, e.g. "Spotlight: Centre 0.4,0.45; Beam Direction 30 deg; ...";
  // after ApplyTo, the values as the host stored them, which the kernel gets.
  std::string Describe() const;
  // Writes every value into its parameter; points are placed on a layer of
  // `width` by `height` pixels. Throws CliError for a point the host cannot
  // store on that layer, as the host would refuse it.
  void ApplyTo(HostParameters& params, A_long width, A_long height);

private:
  struct Value {
    PF_ParamIndex index;
    EffectPackage::eKind kind;
    double number = 0; // slider, angle
    PF_Pixel color{};  // colour
    A_long choice = 1; // 1-based popup value
    bool checked = false;
    double x = 0.5, y = 0.5; // point, fractions of the frame
  };

  const EffectPackage& package_;
  std::vector<Value> values_;
};

} // namespace brantok::lumaro::host
