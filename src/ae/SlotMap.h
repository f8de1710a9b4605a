#pragma once

#include "ae/EffectPathValue.h"
#include "ae/ParameterLayout.h"
#include "correction/effects/IControl.h"

#include <memory>
#include <string>
#include <vector>

namespace brantok::lumaro::ae {

// Which control each parameter slot's host value belongs to, for one clip:
// the layout of the effect version whose values the host holds. Hosts keep
// values per parameter and take new ones only during a user action, so a new
// version of a package that moves or changes controls is read through the
// old layout until the clip's next user action writes the values into their
// new places; no control ever receives another control's value.
class SlotMap final {
public:
  // The form a project keeps it in: an empty slot has no kind.
  using Slot = SlotEntry;
  // Where one control of an effect shows: its parameter slot, and whether the
  // host holds its value there (otherwise it keeps its own value).
  struct Place {
    std::size_t control = 0;
    A_long slot = 0;
    bool held = false;
    // The host parameter of the control's kind in that slot.
    A_long ParamIndex(eControl kind) const;
  };

  SlotMap() = default;
  explicit SlotMap(std::vector<Slot> slots);
  // The layout `controls` get when their values are written: in order, one
  // slot each, as far as there are slots.
  static SlotMap Of(const std::vector<std::shared_ptr<correction::effects::IControl>>& controls);

  const std::vector<Slot>& Slots() const { return slots_; }

  // Where each of `controls` shows: one this map holds (same id and kind) at
  // its slot, with its host value; the others at the free slots in order,
  // without one. Controls beyond the last free slot have no place.
  std::vector<Place> Arrange(const std::vector<std::shared_ptr<correction::effects::IControl>>& controls) const;

  friend bool operator==(const SlotMap&, const SlotMap&) = default;

private:
  std::vector<Slot> slots_;
};

} // namespace brantok::lumaro::ae
