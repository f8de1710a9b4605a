#pragma once

#include "gpu/IBuffer.h"
#include "gpu/IQueue.h"
#include "gpu/KernelArgument.h"
#include "gpu/VectorTypes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brantok::lumaro::gpu {

// A built program and its kernels, addressed by kernel function name.
// Arguments stay set on a kernel between launches. An unknown kernel name
// throws std::out_of_range from GetArgumentCount, GetArgumentInfo and
// SetArgument and is logged by Run; other failures are logged, and Run and
// SetArgument return false for them.
class IProgram {
public:
  virtual ~IProgram() = default;

  virtual std::string GetName() const = 0;
  // Names of programs this one was linked with; empty for programs built from
  // one source.
  virtual std::vector<std::string> GetLinkedProgramNames() const = 0;
  // In the order the driver listed the kernels.
  virtual std::vector<std::string> GetKernelNames() const = 0;
  virtual std::uint32_t GetArgumentCount(const std::string& kernel) const = 0;
  // The kernel's declared arguments in order; empty when the driver cannot
  // report them (a program built without argument information, or a driver
  // that never keeps it).
  virtual std::optional<std::vector<KernelArgument>> GetArgumentInfo(const std::string& kernel) const = 0;
  // Enqueues the kernel over a two-dimensional range; does not wait.
  virtual bool Run(IQueue& queue, const std::string& kernel, const Int2& globalSize,
                   const std::optional<Int2>& offset) = 0;

  // The queue is part of the signature for back ends whose arguments belong
  // to a queue; kernel arguments need no queue in OpenCL.
  virtual bool SetArgument(IQueue& queue, const std::string& kernel, std::uint32_t index, IBuffer& memory) = 0;
  // Uploaded transposed, as the device's column-major float4 rows.
  virtual bool SetArgument(IQueue& queue, const std::string& kernel, std::uint32_t index, const Float4x4& value) = 0;
  // Uploaded as a transposed 4x4 matrix with (0, 0, 0, 1) as last row.
  virtual bool SetArgument(IQueue& queue, const std::string& kernel, std::uint32_t index, const Float3x3& value) = 0;
  virtual bool SetArgument(IQueue& queue, const std::string& kernel, std::uint32_t index, const Float4& value) = 0;
  // Uploaded as a float3, which occupies four floats on the device.
  virtual bool SetArgument(IQueue& queue, const std::string& kernel, std::uint32_t index, const Float3& value) = 0;
  virtual bool SetArgument(IQueue& queue, const std::string& kernel, std::uint32_t index, const Float2& value) = 0;
  virtual bool SetArgument(IQueue& queue, const std::string& kernel, std::uint32_t index, const Int2& value) = 0;
  virtual bool SetArgument(IQueue& queue, const std::string& kernel, std::uint32_t index, std::int32_t value) = 0;
  virtual bool SetArgument(IQueue& queue, const std::string& kernel, std::uint32_t index, std::uint32_t value) = 0;
  virtual bool SetArgument(IQueue& queue, const std::string& kernel, std::uint32_t index, float value) = 0;
};

} // namespace brantok::lumaro::gpu
