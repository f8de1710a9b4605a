#include "gpu/opencl/Program.h"

#include "LogCapture.h"
#include "SharedContext.h"
#include "gpu/ProgramBuildFailedException.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

namespace brantok::lumaro::gpu::opencl {
namespace {

using core::eLogChannel;
using test::SharedContext;
using test::SharedQueue;

// Two kernels in one source; MARK_BASE comes from the build's defines.
const char* const kMarkSource = R"CL(
__kernel void mark(__global int* grid, int width, int value) {
  grid[get_global_id(1) * width + get_global_id(0)] = MARK_BASE + value;
}

__kernel void clear(__global int* grid, int width) {
  grid[get_global_id(1) * width + get_global_id(0)] = 0;
}
)CL";

// Copies every argument into `out` so the bytes each SetArgument overload
// uploads can be compared on the host. Parameters are typed as the bytes are
// meant to arrive (a Float3 as float4, the matrices as float16).
const char* const kArgumentSource = R"CL(
__constant sampler_t kNearest = CLK_NORMALIZED_COORDS_FALSE | CLK_ADDRESS_CLAMP_TO_EDGE | CLK_FILTER_NEAREST;

__kernel void copy_arguments(__global float* out, float f, float2 f2, float4 f3, float4 f4, float16 m3,
                             float16 m4, int i, uint u, int2 i2, read_only image2d_t image) {
  out[0] = f;
  vstore2(f2, 0, out + 1);
  vstore4(f3, 0, out + 3);
  vstore4(f4, 0, out + 7);
  vstore16(m3, 0, out + 11);
  vstore16(m4, 0, out + 27);
  __global int* ints = (__global int*)(out + 43);
  ints[0] = i;
  ((__global uint*)ints)[1] = u;
  ints[2] = i2.x;
  ints[3] = i2.y;
  vstore4(read_imagef(image, kNearest, (int2)(0, 0)), 0, out + 47);
}
)CL";

constexpr std::size_t kArgumentFloats = 51;

class ProgramTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    const lumaro::test::LogCapture log;
    markProgram_ =
        SharedContext().CreateProgram(kMarkSource, {}, {"MARK_BASE=100"}, "marks", {eBuildOption::FastRelaxedMath});
    markBuildLog_ = new std::vector<std::pair<eLogChannel, std::string>>(log.Entries());
    argumentProgram_ = SharedContext().CreateProgram(kArgumentSource, {}, {}, std::nullopt, {});
  }

  static void TearDownTestSuite() {
    markProgram_.reset();
    argumentProgram_.reset();
    delete markBuildLog_;
    markBuildLog_ = nullptr;
  }

  static std::unique_ptr<IBuffer> MakeBuffer(std::size_t size) {
    return SharedContext().CreateBuffer(size, eMemoryDeviceAccess::ReadWrite, eMemoryHostAccess::ReadWrite,
                                        eMemoryLocation::Device, std::nullopt);
  }

  // Sets the kernel's arguments from index 0 on, in order; each must be taken.
  template <typename... Arguments>
  static void SetArguments(IProgram& program, const std::string& kernel, Arguments&&... arguments) {
    std::uint32_t index = 0;
    const auto set = [&](auto&& argument) {
      EXPECT_TRUE(program.SetArgument(SharedQueue(), kernel, index++, argument));
    };
    (set(arguments), ...);
  }

  static std::vector<std::int32_t> ReadInts(IBuffer& buffer, std::size_t count) {
    std::vector<std::int32_t> values(count);
    SharedQueue().ReadBuffer(buffer, static_cast<void*>(values.data()), count * sizeof(std::int32_t));
    return values;
  }

  static inline std::unique_ptr<IProgram> markProgram_;
  static inline std::unique_ptr<IProgram> argumentProgram_;
  static inline std::vector<std::pair<eLogChannel, std::string>>* markBuildLog_ = nullptr;
};

TEST_F(ProgramTest, SuccessfulBuildIsReportedOnInfo) {
  ASSERT_EQ(markBuildLog_->size(), 1u);
  EXPECT_EQ(markBuildLog_->front().first, eLogChannel::Info);
  const std::string& report = markBuildLog_->front().second;
  EXPECT_TRUE(report == "OpenCL program 'marks' built" || report.rfind("OpenCL program 'marks' built:\n", 0) == 0)
      << report;
  EXPECT_EQ(markProgram_->GetName(), "marks");
  // Kernel names and argument counts decide whether a package builds: the
  // prompt effect's tests.
}

TEST_F(ProgramTest, KernelsRunByNameOverTheRangeAndOffset) {
  const lumaro::test::LogCapture log;
  const auto grid = MakeBuffer(4 * 4 * sizeof(std::int32_t));
  IQueue& queue = SharedQueue();
  SetArguments(*markProgram_, "clear", *grid, std::int32_t{4});
  markProgram_->Run(queue, "clear", {4, 4}, std::nullopt);
  SetArguments(*markProgram_, "mark", *grid, std::int32_t{4}, std::int32_t{7});
  markProgram_->Run(queue, "mark", {2, 2}, Int2{1, 2});
  markProgram_->Run(queue, "mark", {1, 1}, std::nullopt);
  EXPECT_EQ(ReadInts(*grid, 16), (std::vector<std::int32_t>{107, 0, 0, 0,   //
                                                            0, 0, 0, 0,     //
                                                            0, 107, 107, 0, //
                                                            0, 107, 107, 0}));
  EXPECT_TRUE(log.Lines().empty());
}

TEST_F(ProgramTest, EveryArgumentOverloadUploadsItsDocumentedBytes) {
  const lumaro::test::LogCapture log;
  Context& context = SharedContext();
  IQueue& queue = SharedQueue();
  const auto out = MakeBuffer(kArgumentFloats * sizeof(float));
  const auto image = context.CreateImage2D({1, 1}, eGpuFormat::RGBA32F, eMemoryDeviceAccess::Read,
                                           eMemoryHostAccess::ReadWrite, eMemoryLocation::Device, std::nullopt);
  queue.FillImage(*image, {0.25f, 0.5f, 0.75f, 1.0f});

  Float3x3 m3;
  for (std::size_t i = 0; i < 9; ++i) m3.m[i] = static_cast<float>(i);
  Float4x4 m4;
  for (std::size_t i = 0; i < 16; ++i) m4.m[i] = static_cast<float>(i);

  const std::string kernel = "copy_arguments";
  SetArguments(*argumentProgram_, kernel, *out, 1.5f, Float2{2.0f, 3.0f}, Float3{1.0f, 2.0f, 3.0f},
               Float4{4.0f, 5.0f, 6.0f, 7.0f}, m3, m4, std::int32_t{-7}, std::uint32_t{0xFFFFFFF0u}, Int2{-3, 40000},
               *image);
  argumentProgram_->Run(queue, kernel, {1, 1}, std::nullopt);

  std::vector<float> floats(kArgumentFloats);
  queue.ReadBuffer(*out, static_cast<void*>(floats.data()), std::nullopt);
  EXPECT_TRUE(log.Lines().empty());

  const std::vector<float> head(floats.begin(), floats.begin() + 11);
  EXPECT_EQ(head, (std::vector<float>{1.5f, 2.0f, 3.0f, 1.0f, 2.0f, 3.0f, 0.0f, 4.0f, 5.0f, 6.0f, 7.0f}));
  const std::vector<float> matrix3(floats.begin() + 11, floats.begin() + 27);
  EXPECT_EQ(matrix3, (std::vector<float>{0, 3, 6, 0, 1, 4, 7, 0, 2, 5, 8, 0, 0, 0, 0, 1}));
  const std::vector<float> matrix4(floats.begin() + 27, floats.begin() + 43);
  EXPECT_EQ(matrix4, (std::vector<float>{0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15}));
  std::vector<std::int32_t> ints(4); // the uint as its bits
  std::memcpy(ints.data(), floats.data() + 43, 4 * sizeof(std::int32_t));
  EXPECT_EQ(ints, (std::vector<std::int32_t>{-7, static_cast<std::int32_t>(0xFFFFFFF0u), -3, 40000}));
  const std::vector<float> pixel(floats.begin() + 47, floats.end());
  EXPECT_EQ(pixel, (std::vector<float>{0.25f, 0.5f, 0.75f, 1.0f}));
}

TEST_F(ProgramTest, WrongSizeIsLoggedAndUnknownKernelThrowsOnArgumentsAndIsLoggedOnRun) {
  const lumaro::test::LogCapture log;
  EXPECT_FALSE(markProgram_->SetArgument(SharedQueue(), "mark", 1, Float4{}));
  EXPECT_THAT([] { markProgram_->SetArgument(SharedQueue(), "missing", 0, 1.0f); },
              ::testing::ThrowsMessage<std::out_of_range>(::testing::StrEq("invalid unordered_map<K, T> key")));
  EXPECT_THROW(markProgram_->GetArgumentCount("missing"), std::out_of_range);
  EXPECT_FALSE(markProgram_->Run(SharedQueue(), "missing", {1, 1}, std::nullopt));
  EXPECT_EQ(log.Entries(), (std::vector<std::pair<eLogChannel, std::string>>{
                               {eLogChannel::Error, "Failed to set OpenCL kernel arugment for kernel: 'mark'"},
                               {eLogChannel::Error, "Error running OpenCL kernel: 'missing'"}}));
}

TEST_F(ProgramTest, FailedBuildThrowsTheBuildLogAndReportsIt) {
  for (const std::optional<std::string>& name : {std::optional<std::string>("broken"), std::optional<std::string>()}) {
    const lumaro::test::LogCapture log;
    std::string buildLog;
    try {
      SharedContext().CreateProgram("__kernel void k(__global flot* x) { x[0] = 1; }", {}, {}, name, {});
      ADD_FAILURE() << "built";
    } catch (const ProgramBuildFailedException& error) {
      buildLog = error.what();
    }
    EXPECT_NE(buildLog.find("flot"), std::string::npos) << buildLog;
    EXPECT_EQ(buildLog.find("OpenCL program"), std::string::npos) << buildLog;
    EXPECT_EQ(log.Entries(),
              (std::vector<std::pair<eLogChannel, std::string>>{
                  {eLogChannel::Error, "OpenCL program '" + name.value_or("") + "' failed to build:\n" + buildLog}}));
  }
}

} // namespace
} // namespace brantok::lumaro::gpu::opencl
