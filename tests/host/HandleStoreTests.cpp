#include "HandleStore.h"

#include <gtest/gtest.h>

#include <thread>
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

TEST(HandleStoreTest, ResizeKeepsTheHandleAndTheCommonBytes) {
  auto& store = HandleStore::Instance();
  PF_Handle handle = store.New(4);
  const std::uint8_t bytes[] = {1, 2, 3, 4};
  ASSERT_TRUE(store.Write(handle, bytes, sizeof bytes));
  PF_Handle same = handle;
  ASSERT_EQ(store.Resize(6, &same), PF_Err_NONE);
  EXPECT_EQ(same, handle);
  EXPECT_EQ(store.Bytes(handle), (std::vector<std::uint8_t>{1, 2, 3, 4, 0, 0}));
  ASSERT_EQ(store.Resize(2, &same), PF_Err_NONE);
  EXPECT_EQ(store.Bytes(handle), (std::vector<std::uint8_t>{1, 2}));
  EXPECT_FALSE(store.Write(handle, bytes, sizeof bytes));
  store.Dispose(handle);
  EXPECT_EQ(store.Resize(8, &same), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(store.Resize(8, nullptr), PF_Err_BAD_CALLBACK_PARAM);
}

TEST(HandleStoreTest, ZeroSizedHandlesStillLock) {
  auto& store = HandleStore::Instance();
  PF_Handle handle = store.New(0);
  ASSERT_NE(handle, nullptr);
  EXPECT_NE(store.Lock(handle), nullptr);
  store.Unlock(handle);
  store.Dispose(handle);
}

TEST(HandleStoreTest, ServesSeveralThreadsAtOnce) {
  auto& store = HandleStore::Instance();
  const auto live = store.LiveCount();
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&store, t] {
      for (int i = 0; i < 500; ++i) {
        PF_Handle handle = store.New(16);
        auto* data = static_cast<std::uint8_t*>(store.Lock(handle));
        data[0] = static_cast<std::uint8_t>(t);
        store.Unlock(handle);
        store.Dispose(handle);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(store.LiveCount(), live);
}

} // namespace
} // namespace brantok::lumaro::host
