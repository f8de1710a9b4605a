#include "correction/EffectCache.h"

#include "LogCapture.h"
#include "gpu/IProgram.h"
#include "gpu/opencl/Context.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace brantok::lumaro::correction {
namespace {

const std::string kKernel = "__kernel void copy(__read_only image2d_t input, __write_only image2d_t output,\n"
                            "                   float time, int frame, float duration) {}\n";
const std::string kMetadata = R"({"title": "Copy", "kernel": "copy"})";

// Runs on the machine's OpenCL device; every compile logs one
// "OpenCL program '...' built" or "... failed to build" line.
class EffectCacheTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() { context_ = gpu::opencl::Context::CreateContext(); }
  static void TearDownTestSuite() { context_.reset(); }

  void SetUp() override {
    ASSERT_NE(context_, nullptr) << "no OpenCL device";
    cache_ = std::make_shared<EffectCache>(context_);
  }

  int Compiles() const { return log_.Count("OpenCL program '"); }

  static std::shared_ptr<gpu::IContext> context_;
  test::LogCapture log_;
  std::shared_ptr<EffectCache> cache_;
};

std::shared_ptr<gpu::IContext> EffectCacheTest::context_;

TEST_F(EffectCacheTest, SameSourceCompilesOnceAndKeepsItsIdAndOneChangedByteDoesNot) {
  const EffectSource source{2, kKernel, kMetadata};
  const auto first = cache_->GetOrBuildProgram(source);
  ASSERT_TRUE(first.id);
  EXPECT_EQ(first.error, 0);
  EXPECT_FALSE(first.message);
  const auto second = cache_->GetOrBuildProgram(EffectSource{2, kKernel, kMetadata});
  EXPECT_EQ(second.id, first.id);
  EXPECT_EQ(Compiles(), 1);
  // One changed byte of the metadata is another program.
  const auto changed = cache_->GetOrBuildProgram(EffectSource{2, kKernel, kMetadata + " "});
  ASSERT_TRUE(changed.id);
  EXPECT_NE(changed.id, first.id);
  EXPECT_EQ(Compiles(), 2);

  const auto program = cache_->GetProgram(*first.id);
  ASSERT_NE(program, nullptr);
  EXPECT_EQ(program->GetName(), "Copy");
  EXPECT_EQ(program->GetKernelNames(), std::vector<std::string>{"copy"});
  EXPECT_EQ(cache_->GetProgram(Uuid::Generate()), nullptr);
}

TEST_F(EffectCacheTest, MissingEntryPointIsError5AndInvalidMetadataThrowsStoringNothing) {
  for (const char* metadata : {R"({"title": "T"})", R"({"kernel": ""})"}) {
    const EffectSource source{2, kKernel, metadata};
    for (int attempt = 0; attempt < 2; ++attempt) {
      const auto result = cache_->GetOrBuildProgram(source);
      EXPECT_FALSE(result.id);
      EXPECT_EQ(result.error, 5);
      EXPECT_EQ(result.message, "No entry point defined in metadata");
    }
    EXPECT_FALSE(cache_->RemoveProgram(source)); // nothing was stored
  }
  const EffectSource invalid{2, kKernel, "{ not json"};
  EXPECT_THROW(cache_->GetOrBuildProgram(invalid), nlohmann::json::parse_error);
  EXPECT_FALSE(cache_->RemoveProgram(invalid));
  EXPECT_EQ(Compiles(), 0);
}

TEST_F(EffectCacheTest, FailedBuildIsError18WithTheLogAndIsRetried) {
  const EffectSource source{2, "__kernel void copy( { this is not C", kMetadata};
  const auto first = cache_->GetOrBuildProgram(source);
  EXPECT_FALSE(first.id);
  EXPECT_EQ(first.error, 18);
  ASSERT_TRUE(first.message);
  EXPECT_FALSE(first.message->empty());
  // The message is the build log itself, which the program's report carries too.
  EXPECT_EQ(log_.Count("OpenCL program 'Copy' failed to build:\n" + *first.message), 1);

  const auto second = cache_->GetOrBuildProgram(source);
  EXPECT_EQ(second.error, 18);
  EXPECT_EQ(log_.Count("failed to build"), 2);
  EXPECT_FALSE(cache_->RemoveProgram(source));
}

TEST_F(EffectCacheTest, RemovedProgramIsGoneAndRebuildsUnderANewId) {
  const EffectSource source{2, kKernel, kMetadata};
  const auto first = cache_->GetOrBuildProgram(source);
  ASSERT_TRUE(first.id);
  EXPECT_FALSE(cache_->RemoveProgram(EffectSource{2, kKernel, R"({"kernel": "other"})"}));
  EXPECT_TRUE(cache_->RemoveProgram(source));
  EXPECT_EQ(cache_->GetProgram(*first.id), nullptr);
  EXPECT_FALSE(cache_->RemoveProgram(source));

  const auto again = cache_->GetOrBuildProgram(source);
  ASSERT_TRUE(again.id);
  EXPECT_NE(again.id, first.id);
  EXPECT_EQ(Compiles(), 2);
}

TEST_F(EffectCacheTest, StoredProgramsReplaceEarlierEntries) {
  const EffectSource source{2, kKernel, kMetadata};
  const auto built = cache_->GetOrBuildProgram(source);
  ASSERT_TRUE(built.id);
  const auto program = cache_->GetProgram(*built.id);
  const Uuid chosen = Uuid::Generate();
  cache_->StoreProgram(source, chosen, program);
  EXPECT_EQ(cache_->GetOrBuildProgram(source).id, chosen);
  EXPECT_EQ(cache_->GetProgram(chosen), program);
}

} // namespace
} // namespace brantok::lumaro::correction
