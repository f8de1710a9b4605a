#include "HandleStore.h"

#include <gtest/gtest.h>

#include <vector>

namespace brantok::lumaro::host {
namespace {

// The fault walk and the fuzz targets find leaks, stray locks and misuse by
// these counts, so each must move exactly when it should.
TEST(HandleStoreTest, HandlesLocksAndMisuseAreCounted) {
  auto& store = HandleStore::Instance();
  const auto live = store.LiveCount();
  const auto locked = store.LockedCount();
  const auto before = store.GetCounters();
  PF_Handle handle = store.New(24);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(store.LiveCount(), live + 1);
  EXPECT_EQ(store.Bytes(handle), std::vector<std::uint8_t>(24, 0));
  store.Unlock(handle); // never locked
  // The handle points at the master pointer, which is the data.
  EXPECT_EQ(store.Lock(handle), *handle);
  store.Lock(handle);
  EXPECT_EQ(store.LockCount(handle), 2);
  EXPECT_EQ(store.LockedCount(), locked + 1);
  store.Unlock(handle);
  store.Dispose(handle); // still locked
  store.Dispose(handle); // already gone
  EXPECT_EQ(store.Lock(handle), nullptr);
  EXPECT_EQ(store.LiveCount(), live);
  EXPECT_EQ(store.LockedCount(), locked);
  const auto after = store.GetCounters();
  EXPECT_EQ(after.unbalancedUnlocks, before.unbalancedUnlocks + 1);
  EXPECT_EQ(after.disposedLocked, before.disposedLocked + 1);
  EXPECT_EQ(after.unknownHandles, before.unknownHandles + 2);
}

} // namespace
} // namespace brantok::lumaro::host
