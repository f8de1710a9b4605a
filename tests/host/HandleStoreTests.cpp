#include "HandleStore.h"

#include <gtest/gtest.h>

#include <vector>

namespace brantok::lumaro::host {
namespace {

TEST(HandleStoreTest, NewHandlesAreZeroFilledCountedAndDisposed) {
  auto& store = HandleStore::Instance();
  const auto live = store.LiveCount();
  PF_Handle handle = store.New(24);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(store.LiveCount(), live + 1);
  EXPECT_EQ(store.GetSize(handle), 24u);
  EXPECT_EQ(store.Bytes(handle), std::vector<std::uint8_t>(24, 0));
  // The handle points at the master pointer, which is the data.
  EXPECT_EQ(*handle, store.Lock(handle));
  store.Unlock(handle);
  store.Dispose(handle);
  EXPECT_EQ(store.LiveCount(), live);
  EXPECT_FALSE(store.Contains(handle));
}

TEST(HandleStoreTest, LocksAreCountedPerHandle) {
  auto& store = HandleStore::Instance();
  PF_Handle a = store.New(8);
  PF_Handle b = store.New(8);
  const auto locked = store.LockedCount();
  store.Lock(a);
  store.Lock(a);
  EXPECT_EQ(store.LockCount(a), 2);
  EXPECT_EQ(store.LockCount(b), 0);
  EXPECT_EQ(store.LockedCount(), locked + 1);
  store.Unlock(a);
  store.Unlock(a);
  EXPECT_EQ(store.LockCount(a), 0);
  EXPECT_EQ(store.LockedCount(), locked);
  store.Dispose(a);
  store.Dispose(b);
  EXPECT_EQ(store.LockCount(a), -1);
}

TEST(HandleStoreTest, MisuseIsCountedAndChangesNothing) {
  auto& store = HandleStore::Instance();
  const auto before = store.GetCounters();
  PF_Handle handle = store.New(4);
  store.Unlock(handle); // never locked
  store.Lock(handle);
  store.Dispose(handle); // still locked
  store.Dispose(handle); // already gone
  EXPECT_EQ(store.Lock(handle), nullptr);
  EXPECT_EQ(store.GetSize(handle), 0u);
  const auto after = store.GetCounters();
  EXPECT_EQ(after.unbalancedUnlocks, before.unbalancedUnlocks + 1);
  EXPECT_EQ(after.disposedLocked, before.disposedLocked + 1);
  EXPECT_EQ(after.unknownHandles, before.unknownHandles + 3);
  EXPECT_EQ(after.created - after.disposed, before.created - before.disposed);
}

} // namespace
} // namespace brantok::lumaro::host
