#pragma once

#include "gpu/IQueue.h"

#include <CL/opencl.hpp>

#include <array>
#include <optional>
#include <string>

namespace brantok::lumaro::gpu::opencl {

class Context;

// An in-order OpenCL command queue without profiling. Transfers block; a
// failed OpenCL call is logged and the operation returns false, so a queue
// whose creation failed logs and fails every transfer.
class Queue final : public IQueue {
public:
  // Logs "CL command queue creation failed" when the driver refuses.
  Queue(Context& context, std::optional<std::string> name);
  // A named queue without a native queue, standing for one made elsewhere.
  explicit Queue(std::optional<std::string> name);
  Queue(const Queue&) = delete;
  Queue& operator=(const Queue&) = delete;

  // Null when creation failed.
  cl_command_queue GetNativeQueue() const { return queue_(); }

  std::string GetName() const override { return name_; }
  bool IsValid() const override { return queue_() != nullptr; }

  bool WriteImage(IImage3D& image, const std::vector<std::uint8_t>& data) override;
  bool WriteImage(IImage2D& image, const Int2& origin, const Int2& region, const void* data, std::size_t offset,
                  const std::optional<std::size_t>& rowPitch) override;
  bool WriteImage(IImage2D& image, const Int2& origin, const Int2& region, const std::vector<std::uint8_t>& data,
                  std::size_t offset, const std::optional<std::size_t>& rowPitch) override;
  bool WriteImage(IImage1D& image, const std::vector<std::uint8_t>& data) override;
  bool FillImage(IImage2D& image, const Float4& color) override;
  bool ReadBuffer(IBuffer& buffer, std::vector<std::uint8_t>& data, const std::optional<std::size_t>& size) override;
  bool ReadBuffer(IBuffer& buffer, void* data, const std::optional<std::size_t>& size) override;
  bool ReadImage(IImage3D& image, std::vector<std::uint8_t>& data) override;
  bool ReadImage(IImage2D& image, void* data, const std::optional<std::size_t>& rowPitch) override;
  bool ReadImage(IImage2D& image, std::vector<std::uint8_t>& data) override;
  bool ReadImage(IImage1D& image, std::vector<std::uint8_t>& data) override;

  void EnqueueBarrier() override;
  void Flush() override;
  void Finish() override;

private:
  bool Write(const IImage& image, const std::array<std::size_t, 3>& origin, const std::array<std::size_t, 3>& region,
             std::size_t rowPitch, const void* data);
  bool Read(const IImage& image, const std::array<std::size_t, 3>& region, std::size_t rowPitch, void* data);

  std::string name_;
  cl::CommandQueue queue_;
};

} // namespace brantok::lumaro::gpu::opencl
