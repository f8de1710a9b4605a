#include "ae/SlotMap.h"

#include <algorithm>
#include <utility>

namespace brantok::lumaro::ae {

using correction::effects::IControl;

A_long SlotMap::Place::ParamIndex(eControl kind) const {
  return ParameterLayout::FirstControlParam + slot * ParameterLayout::KindsPerSlot + static_cast<A_long>(kind);
}

SlotMap::SlotMap(std::vector<Slot> slots) : slots_(std::move(slots)) {
  if (slots_.size() > static_cast<std::size_t>(ParameterLayout::ControlSlots))
    slots_.resize(ParameterLayout::ControlSlots);
}

SlotMap SlotMap::Of(const std::vector<std::shared_ptr<IControl>>& controls) {
  std::vector<Slot> slots;
  ForEachControl(controls, [&](const std::shared_ptr<IControl>& control, A_long /*index*/, eControl kind) {
    slots.push_back({control->GetId(), kind});
  });
  return SlotMap(std::move(slots));
}

std::vector<SlotMap::Place> SlotMap::Arrange(const std::vector<std::shared_ptr<IControl>>& controls) const {
  std::vector<bool> taken(ParameterLayout::ControlSlots, false);
  std::vector<Place> places;
  std::vector<std::size_t> homeless;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const Slot wanted{controls[i]->GetId(), GetControlKind(controls[i])};
    bool placed = false;
    for (std::size_t slot = 0; slot < slots_.size() && !placed; ++slot) {
      if (!taken[slot] && slots_[slot] == wanted) {
        taken[slot] = true;
        places.push_back({i, static_cast<A_long>(slot), true});
        placed = true;
      }
    }
    if (!placed) homeless.push_back(i);
  }
  for (const auto i : homeless) {
    const auto free = std::find(taken.begin(), taken.end(), false);
    if (free == taken.end()) break;
    *free = true;
    places.push_back({i, static_cast<A_long>(free - taken.begin()), false});
  }
  std::sort(places.begin(), places.end(), [](const Place& a, const Place& b) { return a.control < b.control; });
  return places;
}

} // namespace brantok::lumaro::ae
