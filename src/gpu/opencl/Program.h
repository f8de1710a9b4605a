#pragma once

#include "gpu/BuildOption.h"
#include "gpu/IProgram.h"

#include <CL/opencl.hpp>

#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace brantok::lumaro::gpu::opencl {

class Context;

// An OpenCL program built for the context's device, with every kernel it
// defines. Kernel arguments are state of the kernel objects, so two threads
// must not set arguments and launch the same program at once.
class Program final : public IProgram {
public:
  // Builds `source` and creates all of its kernels; `kernelNames` is not
  // needed for that. Logs the build report (with the build log) and throws
  // ProgramBuildFailedException carrying the log when the build fails.
  Program(Context& context, const std::string& source, const std::vector<std::string>& kernelNames,
          const std::vector<std::string>& defines, std::optional<std::string> name,
          const std::set<eBuildOption>& options);
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // The compiler options for a build: the option switches in ascending
  // order, then " -D <define>" for each define.
  static std::string MakeBuildOptions(const std::set<eBuildOption>& options, const std::vector<std::string>& defines);

  std::string GetName() const override { return name_; }
  std::vector<std::string> GetLinkedProgramNames() const override { return linkedProgramNames_; }
  std::vector<std::string> GetKernelNames() const override { return kernelNames_; }
  std::uint32_t GetArgumentCount(const std::string& kernel) const override;
  std::optional<std::vector<KernelArgument>> GetArgumentInfo(const std::string& kernel) const override;
  bool Run(IQueue& queue, const std::string& kernel, const Int2& globalSize,
           const std::optional<Int2>& offset) override;

  bool SetArgument(IQueue& queue, const std::string& kernel, std::uint32_t index, IBuffer& memory) override;
  bool SetArgument(IQueue& queue, const std::string& kernel, std::uint32_t index, const Float4x4& value) override;
  bool SetArgument(IQueue& queue, const std::string& kernel, std::uint32_t index, const Float3x3& value) override;
  bool SetArgument(IQueue& queue, const std::string& kernel, std::uint32_t index, const Float4& value) override;
  bool SetArgument(IQueue& queue, const std::string& kernel, std::uint32_t index, const Float3& value) override;
  bool SetArgument(IQueue& queue, const std::string& kernel, std::uint32_t index, const Float2& value) override;
  bool SetArgument(IQueue& queue, const std::string& kernel, std::uint32_t index, const Int2& value) override;
  bool SetArgument(IQueue& queue, const std::string& kernel, std::uint32_t index, std::int32_t value) override;
  bool SetArgument(IQueue& queue, const std::string& kernel, std::uint32_t index, std::uint32_t value) override;
  bool SetArgument(IQueue& queue, const std::string& kernel, std::uint32_t index, float value) override;

private:
  // Throws std::out_of_range for a name the program does not define.
  const cl::Kernel& FindKernel(const std::string& kernel) const;
  bool SetBytes(const std::string& kernel, std::uint32_t index, std::size_t size, const void* bytes);

  std::string name_;
  std::vector<std::string> linkedProgramNames_;
  std::vector<std::string> kernelNames_;
  std::unordered_map<std::string, cl::Kernel> kernels_;
  cl::Program program_;
};

} // namespace brantok::lumaro::gpu::opencl
