#include "gpu/opencl/Buffer.h"

#include "gpu/opencl/Context.h"

#include <utility>

namespace brantok::lumaro::gpu::opencl {

Buffer::Buffer(Context& context, std::size_t size, eMemoryDeviceAccess deviceAccess, eMemoryHostAccess hostAccess,
               eMemoryLocation location, std::optional<std::string> name) :
    size_(size),
    memory_(deviceAccess, hostAccess, location, std::move(name), false) {
  const cl::Context nativeContext = context.GetNativeContext();
  cl_int error = CL_SUCCESS;
  cl_mem handle = clCreateBuffer(nativeContext(), memory_.GetFlags(), size, nullptr, &error);
  memory_.Adopt(handle, error, "CL buffer creation failed");
}

Buffer::Buffer(std::shared_ptr<IMemorySource> source, std::optional<std::string> name) :
    size_(source->GetSizeInBytes()),
    memory_(eMemoryDeviceAccess::Read, eMemoryHostAccess::Read, eMemoryLocation::Device, std::move(name)),
    source_(std::move(source)) {}

void* Buffer::GetNativeHandle() const { return source_ ? source_->GetNativeHandle() : memory_.GetHandleAddress(); }

} // namespace brantok::lumaro::gpu::opencl
