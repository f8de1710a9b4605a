#include "core/DialogResponder.h"

#include "core/EmbedderResponder.h"

#include <mutex>
#include <utility>

namespace brantok::lumaro::core {
namespace {

struct ResponderSlot {
  std::mutex mutex;
  std::shared_ptr<IDialogResponder> responder;
};

ResponderSlot& Slot() {
  static ResponderSlot slot;
  return slot;
}

} // namespace

void SetDialogResponder(std::shared_ptr<IDialogResponder> responder) {
  auto& slot = Slot();
  std::shared_ptr<IDialogResponder> previous;
  {
    std::lock_guard lock(slot.mutex);
    previous = std::exchange(slot.responder, std::move(responder));
  }
  // The old responder is released outside the lock, so its destructor may
  // use this slot itself.
}

void ClearDialogResponder() { SetDialogResponder(nullptr); }

std::shared_ptr<IDialogResponder> GetDialogResponder() {
  auto& slot = Slot();
  {
    std::lock_guard lock(slot.mutex);
    if (slot.responder) return slot.responder;
  }
  // The embedding program owns its responder; it is not ours to delete.
  if (auto* embedder = FindEmbedderResponder())
    return std::shared_ptr<IDialogResponder>(std::shared_ptr<void>(), embedder);
  return nullptr;
}

} // namespace brantok::lumaro::core
