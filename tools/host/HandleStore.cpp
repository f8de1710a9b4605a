#include "HandleStore.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace brantok::lumaro::host {
namespace {

// A block of size 0 still gets a distinct, non-null data pointer.
std::size_t StorageSize(A_HandleSize size) { return std::max<std::size_t>(static_cast<std::size_t>(size), 1); }

} // namespace

HandleStore& HandleStore::Instance() {
  static HandleStore store;
  return store;
}

HandleStore::Block* HandleStore::Find(PF_Handle handle) const {
  const auto found = blocks_.find(handle);
  if (found == blocks_.end()) {
    ++counters_.unknownHandles;
    return nullptr;
  }
  return found->second.get();
}

PF_Handle HandleStore::New(A_HandleSize size) {
  if (size > static_cast<A_HandleSize>(SIZE_MAX / 2)) return nullptr;
  auto block = std::make_unique<Block>();
  try {
    block->bytes.assign(StorageSize(size), 0);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  block->bytes.resize(static_cast<std::size_t>(size));
  block->data = block->bytes.data();
  if (!block->data) block->data = block.get(); // size 0: any distinct address will do
  auto handle = reinterpret_cast<PF_Handle>(&block->data);
  std::lock_guard lock(mutex_);
  blocks_.emplace(handle, std::move(block));
  ++counters_.created;
  return handle;
}

void* HandleStore::Lock(PF_Handle handle) {
  std::lock_guard lock(mutex_);
  Block* block = Find(handle);
  if (!block) return nullptr;
  ++block->locks;
  return block->data;
}

void HandleStore::Unlock(PF_Handle handle) {
  std::lock_guard lock(mutex_);
  Block* block = Find(handle);
  if (!block) return;
  if (block->locks == 0) {
    ++counters_.unbalancedUnlocks;
    return;
  }
  --block->locks;
}

void HandleStore::Dispose(PF_Handle handle) {
  std::unique_ptr<Block> removed;
  std::lock_guard lock(mutex_);
  const auto found = blocks_.find(handle);
  if (found == blocks_.end()) {
    ++counters_.unknownHandles;
    return;
  }
  if (found->second->locks > 0) ++counters_.disposedLocked;
  removed = std::move(found->second);
  blocks_.erase(found);
  ++counters_.disposed;
}

A_HandleSize HandleStore::GetSize(PF_Handle handle) const {
  std::lock_guard lock(mutex_);
  const Block* block = Find(handle);
  return block ? block->bytes.size() : 0;
}

PF_Err HandleStore::Resize(A_HandleSize size, PF_Handle* handle) {
  if (!handle) return PF_Err_BAD_CALLBACK_PARAM;
  if (size > static_cast<A_HandleSize>(SIZE_MAX / 2)) return PF_Err_OUT_OF_MEMORY;
  std::lock_guard lock(mutex_);
  Block* block = Find(*handle);
  if (!block) return PF_Err_BAD_CALLBACK_PARAM;
  std::vector<std::uint8_t> bytes;
  try {
    bytes.assign(StorageSize(size), 0);
  } catch (const std::bad_alloc&) {
    return PF_Err_OUT_OF_MEMORY;
  }
  bytes.resize(static_cast<std::size_t>(size));
  std::copy_n(block->bytes.begin(), std::min(bytes.size(), block->bytes.size()), bytes.begin());
  block->bytes.swap(bytes);
  block->data = block->bytes.data();
  if (!block->data) block->data = block;
  return PF_Err_NONE;
}

bool HandleStore::Contains(PF_Handle handle) const {
  std::lock_guard lock(mutex_);
  return blocks_.count(handle) != 0;
}

std::size_t HandleStore::LiveCount() const {
  std::lock_guard lock(mutex_);
  return blocks_.size();
}

int HandleStore::LockCount(PF_Handle handle) const {
  std::lock_guard lock(mutex_);
  const auto found = blocks_.find(handle);
  return found == blocks_.end() ? -1 : found->second->locks;
}

std::size_t HandleStore::LockedCount() const {
  std::lock_guard lock(mutex_);
  return static_cast<std::size_t>(
      std::count_if(blocks_.begin(), blocks_.end(), [](const auto& item) { return item.second->locks > 0; }));
}

std::vector<std::uint8_t> HandleStore::Bytes(PF_Handle handle) const {
  std::lock_guard lock(mutex_);
  const auto found = blocks_.find(handle);
  return found == blocks_.end() ? std::vector<std::uint8_t>{} : found->second->bytes;
}

bool HandleStore::Write(PF_Handle handle, const void* bytes, std::size_t size) {
  std::lock_guard lock(mutex_);
  const auto found = blocks_.find(handle);
  if (found == blocks_.end() || size > found->second->bytes.size()) return false;
  if (size > 0) std::memcpy(found->second->bytes.data(), bytes, size);
  return true;
}

HandleStore::Counters HandleStore::GetCounters() const {
  std::lock_guard lock(mutex_);
  return counters_;
}

} // namespace brantok::lumaro::host
