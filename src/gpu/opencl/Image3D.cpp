#include "gpu/opencl/Image3D.h"

#include "gpu/opencl/Context.h"
#include "gpu/opencl/Extent.h"
#include "gpu/opencl/ImageFormats.h"

#include <utility>

namespace brantok::lumaro::gpu::opencl {

Image3D::Image3D(Context& context, const Int3& size, eGpuFormat format, eMemoryDeviceAccess deviceAccess,
                 eMemoryHostAccess hostAccess, eMemoryLocation location, std::optional<std::string> name,
                 const void* hostData) :
    memory_(deviceAccess, hostAccess, location, std::move(name), hostData != nullptr),
    format_(format), size_(size) {
  const cl::ImageFormat imageFormat = ToImageFormat(format);
  cl_image_desc desc{};
  desc.image_type = CL_MEM_OBJECT_IMAGE3D;
  desc.image_width = ToSize(size.x);
  desc.image_height = ToSize(size.y);
  desc.image_depth = ToSize(size.z);
  const cl::Context nativeContext = context.GetNativeContext();
  cl_int error = CL_SUCCESS;
  cl_mem handle =
      clCreateImage(nativeContext(), memory_.GetFlags(), &imageFormat, &desc, const_cast<void*>(hostData), &error);
  memory_.Adopt(handle, error, "CL Image3D creation failed");
}

std::size_t Image3D::GetSizeInBytes() const {
  return ImageBytes(static_cast<std::int64_t>(size_.x) * size_.y * size_.z, GetBytesPerPixel(format_));
}

} // namespace brantok::lumaro::gpu::opencl
