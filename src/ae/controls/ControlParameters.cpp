#include "ae/controls/ControlParameters.h"

#include "ae/controls/AngleParameter.h"
#include "ae/controls/CheckboxParameter.h"
#include "ae/controls/ChoiceParameter.h"
#include "ae/controls/ColorParameter.h"
#include "ae/controls/PointParameter.h"
#include "ae/controls/SliderParameter.h"

#include <array>
#include <stdexcept>

namespace brantok::lumaro::ae::controls {
namespace {

const std::array<const IControlParameter*, 6>& All() {
  static const ColorParameter color;
  static const SliderParameter slider;
  static const ChoiceParameter choice;
  static const AngleParameter angle;
  static const CheckboxParameter checkbox;
  static const PointParameter point;
  static const std::array<const IControlParameter*, 6> all{&color, &slider, &choice, &angle, &checkbox, &point};
  return all;
}

} // namespace

const IControlParameter& ControlParameters::For(const correction::effects::IControl& control) {
  for (const auto* parameter : All()) {
    if (parameter->Handles(control)) return *parameter;
  }
  throw std::invalid_argument("Unknown control type");
}

const IControlParameter& ControlParameters::For(eControl kind) {
  for (const auto* parameter : All()) {
    if (parameter->GetKind() == kind) return *parameter;
  }
  throw std::invalid_argument("Unknown control type");
}

} // namespace brantok::lumaro::ae::controls
