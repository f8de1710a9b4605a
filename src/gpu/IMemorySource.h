#pragma once

#include <cstddef>

namespace brantok::lumaro::gpu {

// Native memory owned by someone else that a buffer can wrap without copying.
// The buffer keeps the source alive and hands out the source's handle.
class IMemorySource {
public:
  virtual ~IMemorySource() = default;

  virtual std::size_t GetSizeInBytes() const = 0;
  // Address of the back end's native memory handle, as IBuffer::GetNativeHandle.
  virtual void* GetNativeHandle() const = 0;
};

} // namespace brantok::lumaro::gpu
