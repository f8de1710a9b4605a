#include "gpu/opencl/Image2D.h"

#include "gpu/opencl/Context.h"
#include "gpu/opencl/Extent.h"
#include "gpu/opencl/ImageFormats.h"

#include <utility>

namespace brantok::lumaro::gpu::opencl {

Image2D::Image2D(Context& context, const Int2& size, eGpuFormat format, eMemoryDeviceAccess deviceAccess,
                 eMemoryHostAccess hostAccess, eMemoryLocation location, std::optional<std::string> name) :
    memory_(deviceAccess, hostAccess, location, std::move(name), false),
    format_(format), size_(size) {
  const cl::ImageFormat imageFormat = ToImageFormat(format);
  cl_image_desc desc{};
  desc.image_type = CL_MEM_OBJECT_IMAGE2D;
  desc.image_width = ToSize(size.x);
  desc.image_height = ToSize(size.y);
  const cl::Context nativeContext = context.GetNativeContext();
  cl_int error = CL_SUCCESS;
  cl_mem handle = clCreateImage(nativeContext(), memory_.GetFlags(), &imageFormat, &desc, nullptr, &error);
  memory_.Adopt(handle, error, "CL Image2D creation failed");
}

std::size_t Image2D::GetSizeInBytes() const {
  return ImageBytes(static_cast<std::int64_t>(size_.x) * size_.y, GetBytesPerPixel(format_));
}

} // namespace brantok::lumaro::gpu::opencl
