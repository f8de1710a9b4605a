#include "AllocationMeter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace brantok::lumaro::correction::test {
namespace {

std::atomic<bool> gMetering{false};
std::atomic<std::size_t> gLargest{0};

void* Allocate(std::size_t size) {
  if (gMetering.load(std::memory_order_relaxed)) {
    std::size_t largest = gLargest.load(std::memory_order_relaxed);
    while (size > largest && !gLargest.compare_exchange_weak(largest, size, std::memory_order_relaxed)) {
    }
  }
  if (void* block = std::malloc(size ? size : 1)) return block;
  throw std::bad_alloc();
}

} // namespace

AllocationMeter::AllocationMeter() {
  gLargest = 0;
  gMetering = true;
}

AllocationMeter::~AllocationMeter() { gMetering = false; }

std::size_t AllocationMeter::Largest() const { return gLargest; }

} // namespace brantok::lumaro::correction::test

void* operator new(std::size_t size) { return brantok::lumaro::correction::test::Allocate(size); }
void* operator new[](std::size_t size) { return brantok::lumaro::correction::test::Allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
