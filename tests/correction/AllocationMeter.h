#pragma once

#include <cstddef>

namespace brantok::lumaro::correction::test {

// Records the largest single request to operator new while it lives, so a
// test can tell that a hostile input did not make the reader allocate what
// the input claims. The program that links it has its operator new replaced
// (a thin layer over malloc); one meter at a time.
class AllocationMeter {
public:
  AllocationMeter();
  ~AllocationMeter();
  AllocationMeter(const AllocationMeter&) = delete;
  AllocationMeter& operator=(const AllocationMeter&) = delete;

  std::size_t Largest() const;
};

} // namespace brantok::lumaro::correction::test
