#pragma once

#include "gpu/IBuffer.h"
#include "gpu/IImage1D.h"
#include "gpu/IImage2D.h"
#include "gpu/IImage3D.h"
#include "gpu/VectorTypes.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brantok::lumaro::gpu {

// An in-order command queue. Reads and writes block until the data has
// arrived; FillImage only enqueues. Origins and regions are in pixels, sizes
// and offsets in bytes. Host memory passed in must be large enough for the
// transfer; containers are used only for their data pointer. An absent row
// pitch means tightly packed rows. Failures are logged, never thrown; each
// transfer returns whether it succeeded, so a caller never mistakes an image
// that was not written or read for one that was.
class IQueue {
public:
  virtual ~IQueue() = default;

  virtual std::string GetName() const = 0;
  // False when the driver refused to make the queue; every transfer then fails.
  virtual bool IsValid() const = 0;

  virtual bool WriteImage(IImage3D& image, const std::vector<std::uint8_t>& data) = 0;
  // Writes `region` at `origin`, reading host rows from `data` + `offset`.
  virtual bool WriteImage(IImage2D& image, const Int2& origin, const Int2& region, const void* data, std::size_t offset,
                          const std::optional<std::size_t>& rowPitch) = 0;
  virtual bool WriteImage(IImage2D& image, const Int2& origin, const Int2& region,
                          const std::vector<std::uint8_t>& data, std::size_t offset,
                          const std::optional<std::size_t>& rowPitch) = 0;
  virtual bool WriteImage(IImage1D& image, const std::vector<std::uint8_t>& data) = 0;
  virtual bool FillImage(IImage2D& image, const Float4& color) = 0;
  // Reads from byte 0; `size` defaults to the whole buffer.
  virtual bool ReadBuffer(IBuffer& buffer, std::vector<std::uint8_t>& data, const std::optional<std::size_t>& size) = 0;
  virtual bool ReadBuffer(IBuffer& buffer, void* data, const std::optional<std::size_t>& size) = 0;
  virtual bool ReadImage(IImage3D& image, std::vector<std::uint8_t>& data) = 0;
  virtual bool ReadImage(IImage2D& image, void* data, const std::optional<std::size_t>& rowPitch) = 0;
  virtual bool ReadImage(IImage2D& image, std::vector<std::uint8_t>& data) = 0;
  virtual bool ReadImage(IImage1D& image, std::vector<std::uint8_t>& data) = 0;

  virtual void EnqueueBarrier() = 0;
  virtual void Flush() = 0;
  // Submits and waits until every queued command has completed.
  virtual void Finish() = 0;
};

} // namespace brantok::lumaro::gpu
