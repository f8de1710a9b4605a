#include "SharedContext.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace brantok::lumaro::gpu::opencl::test {

Context& SharedContext() {
  static const std::unique_ptr<IContext> context = Context::CreateContext();
  if (!context) throw std::runtime_error("no OpenCL device on this machine");
  return static_cast<Context&>(*context);
}

IQueue& SharedQueue() {
  static const std::shared_ptr<IQueue> queue = SharedContext().GetDefaultQueue();
  return *queue;
}

namespace {

// Made before the first test, so the context's creation messages do not land
// in the log captures of the tests.
class SharedContextEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    try {
      SharedQueue();
    } catch (const std::runtime_error&) {
      // Each test that needs the device reports the missing device itself.
    }
  }
};

[[maybe_unused]] const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new SharedContextEnvironment);

} // namespace

cl_mem NativeMemory(const IBuffer& memory) { return *static_cast<const cl_mem*>(memory.GetNativeHandle()); }

} // namespace brantok::lumaro::gpu::opencl::test
