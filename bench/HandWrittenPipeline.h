#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace brantok::lumaro::bench {

// The renderer's work written out by hand in raw OpenCL, as the yardstick for
// the module: the same device (chosen by the project's context), the same
// kernel source, build options and arguments, images created once; per frame
// one blocking write, one launch, one blocking read. A frame whose
// blue-green-red order the device cannot store takes the module's other
// route: red-green-blue images and a swizzle pass before and after the
// effect, with the module's swizzle kernel.
class HandWrittenPipeline {
public:
  struct Arguments {
    float time = 0.0f;
    std::int32_t frame = 0;
    float duration = 0.0f;
    float amount = 0.0f;
    float tint[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  };

  // `floatPixels`: 16-byte BGRA float pixels, else 4-byte BGRA. Throws
  // std::runtime_error when any OpenCL call fails.
  HandWrittenPipeline(const std::string& kernelSource, const std::string& kernelName, std::int32_t width,
                      std::int32_t height, bool floatPixels);
  ~HandWrittenPipeline();
  HandWrittenPipeline(const HandWrittenPipeline&) = delete;
  HandWrittenPipeline& operator=(const HandWrittenPipeline&) = delete;

  // True when frames go through the two swizzle passes.
  bool Swizzles() const;

  // One frame from `input` to `output`, both tightly packed rows.
  void Render(const void* input, void* output, const Arguments& arguments);

  // The frame's copies alone, the floor under any frame on a device with its
  // own memory: one blocking write of `input` into the first image and one
  // blocking read of that image into `output`.
  void Transfer(const void* input, void* output);

private:
  struct Native;
  std::unique_ptr<Native> native_;
};

} // namespace brantok::lumaro::bench
