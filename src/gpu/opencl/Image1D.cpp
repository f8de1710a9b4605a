#include "gpu/opencl/Image1D.h"

#include "gpu/opencl/Context.h"
#include "gpu/opencl/Extent.h"
#include "gpu/opencl/ImageFormats.h"

#include <utility>

namespace brantok::lumaro::gpu::opencl {

Image1D::Image1D(Context& context, std::int32_t width, eGpuFormat format, eMemoryDeviceAccess deviceAccess,
                 eMemoryHostAccess hostAccess, eMemoryLocation location, std::optional<std::string> name,
                 const void* hostData) :
    memory_(deviceAccess, hostAccess, location, std::move(name), hostData != nullptr),
    format_(format), width_(width) {
  const cl::ImageFormat imageFormat = ToImageFormat(format);
  cl_image_desc desc{};
  desc.image_type = CL_MEM_OBJECT_IMAGE1D;
  desc.image_width = ToSize(width);
  const cl::Context nativeContext = context.GetNativeContext();
  cl_int error = CL_SUCCESS;
  cl_mem handle =
      clCreateImage(nativeContext(), memory_.GetFlags(), &imageFormat, &desc, const_cast<void*>(hostData), &error);
  memory_.Adopt(handle, error, "CL Image1D creation failed");
}

std::size_t Image1D::GetSizeInBytes() const { return ImageBytes(width_, GetBytesPerPixel(format_)); }

} // namespace brantok::lumaro::gpu::opencl
