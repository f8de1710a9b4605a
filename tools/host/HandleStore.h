#pragma once

#include "ae/sdk/EffectApi.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace brantok::lumaro::host {

// The host's relocatable memory blocks (PF_Handle). The handle callbacks carry
// no effect_ref, so one store serves every host in the process; it is
// thread-safe because frames render on other threads than the one that set the
// effect up. New blocks are zero-filled. Lock and unlock are counted per
// handle, so tests can check that the plug-in disposes what it allocates and
// unlocks what it locks. Calls with a handle the store does not know (already
// disposed, never made) change nothing and are counted as misuse.
class HandleStore {
public:
  static HandleStore& Instance();

  HandleStore() = default;
  HandleStore(const HandleStore&) = delete;
  HandleStore& operator=(const HandleStore&) = delete;

  // Null only when the memory cannot be had.
  PF_Handle New(A_HandleSize size);
  // The block's data, or null for an unknown handle. Every call adds a lock.
  void* Lock(PF_Handle handle);
  void Unlock(PF_Handle handle);
  void Dispose(PF_Handle handle);
  // 0 for an unknown handle.
  A_HandleSize GetSize(PF_Handle handle) const;
  // Keeps the handle, moves the data (keeping the common prefix, zero-filling
  // growth). PF_Err_BAD_CALLBACK_PARAM for a null or unknown handle,
  // PF_Err_OUT_OF_MEMORY when the memory cannot be had.
  PF_Err Resize(A_HandleSize size, PF_Handle* handle);

  // Inspection for tests; none of these locks the handle.
  bool Contains(PF_Handle handle) const;
  std::size_t LiveCount() const;
  // Locks minus unlocks; -1 for an unknown handle.
  int LockCount(PF_Handle handle) const;
  // Live handles that are locked now.
  std::size_t LockedCount() const;
  // A copy of the block's bytes (empty for an unknown handle).
  std::vector<std::uint8_t> Bytes(PF_Handle handle) const;
  // Overwrites the block from its start; false when it does not fit or the
  // handle is unknown.
  bool Write(PF_Handle handle, const void* bytes, std::size_t size);

  struct Counters {
    std::size_t created = 0;
    std::size_t disposed = 0;
    std::size_t unknownHandles = 0;    // calls naming a handle the store does not hold
    std::size_t unbalancedUnlocks = 0; // unlocks of a handle that was not locked
    std::size_t disposedLocked = 0;    // disposals of a handle that was still locked
  };
  Counters GetCounters() const;

private:
  // The master pointer comes first: a PF_Handle points at it.
  struct Block {
    void* data = nullptr;
    std::vector<std::uint8_t> bytes;
    int locks = 0;
  };

  Block* Find(PF_Handle handle) const;

  mutable std::mutex mutex_;
  std::unordered_map<PF_Handle, std::unique_ptr<Block>> blocks_;
  mutable Counters counters_;
};

} // namespace brantok::lumaro::host
