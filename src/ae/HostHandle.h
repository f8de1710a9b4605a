#pragma once

#include "ae/sdk/EffectApi.h"

#include <cstddef>
#include <cstring>
#include <functional>

namespace brantok::lumaro::ae {

// The host's handle protocol in one place: a block is made, locked, zeroed,
// filled and unlocked, and disposed of again when any step fails, so that no
// half-made or still-locked handle ever reaches the host. Takes the
// callbacks of in_data->utils and the Handle suite alike.
class HostHandle final {
public:
  // Whether the host gave every callback the protocol needs.
  template <typename Callbacks>
  static bool CanMake(const Callbacks* callbacks) {
    return callbacks && callbacks->host_new_handle && callbacks->host_lock_handle && callbacks->host_unlock_handle &&
           callbacks->host_dispose_handle;
  }

  // A new handle of `size` zero bytes, written by `fill` (when given) while
  // locked. Null when the host gives no block, cannot lock it, or `fill`
  // returns false; an exception from `fill` passes once the block is gone.
  template <typename Callbacks>
  static PF_Handle Make(const Callbacks& callbacks, std::size_t size,
                        const std::function<bool(void* data)>& fill = nullptr) {
    PF_Handle handle = callbacks.host_new_handle(size);
    if (!handle) return nullptr;
    void* data = callbacks.host_lock_handle(handle);
    if (!data) {
      callbacks.host_dispose_handle(handle);
      return nullptr;
    }
    std::memset(data, 0, size);
    bool filled = true;
    try {
      if (fill) filled = fill(data);
    } catch (...) {
      callbacks.host_unlock_handle(handle);
      callbacks.host_dispose_handle(handle);
      throw;
    }
    callbacks.host_unlock_handle(handle);
    if (filled) return handle;
    callbacks.host_dispose_handle(handle);
    return nullptr;
  }
};

} // namespace brantok::lumaro::ae
