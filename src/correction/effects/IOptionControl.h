#pragma once

#include "correction/effects/IControl.h"

#include <string>
#include <vector>

namespace brantok::lumaro::correction::effects {

// One of a list of named options; kernels receive the selected index, not its
// text.
template <typename T>
class IOptionControl : public IControl {
public:
  virtual T GetSelection() const = 0;
  virtual void SetSelection(const T& selection) = 0;
  virtual T GetDefaultSelection() const = 0;
  virtual const std::vector<std::string>& GetOptions() const = 0;
};

} // namespace brantok::lumaro::correction::effects
