#include "ModuleFixture.h"

#include <gtest/gtest.h>

#include <set>

namespace brantok::lumaro::ae {
namespace {

using EffectMainFunction = int (*)(int, void*, void*, void**, void*, void*);

std::set<std::filesystem::path> LogFiles(const std::filesystem::path& folder) {
  std::set<std::filesystem::path> files;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const auto name = it->path().filename().string();
    if (name.starts_with("LumaroEffect_") && name.ends_with(".log")) files.insert(it->path());
  }
  return files;
}

TEST(ModuleTest, LoadCreatesTheDatedLogFileAndExportsEffectMain) {
  const auto logs = test::ModuleFixture::LogFolder();
  ASSERT_FALSE(logs.empty());
  const auto before = LogFiles(logs);

  std::string error;
  auto module = host::LoadedModule::Load(LUMARO_MODULE_PATH, error);
  ASSERT_NE(module, nullptr) << error;

  const auto after = LogFiles(logs);
  std::vector<std::filesystem::path> created;
  for (const auto& file : after) {
    if (!before.count(file)) created.push_back(file);
  }
  // A load in the same second as an earlier one appends to the same file.
  EXPECT_TRUE(created.size() == 1 || (!after.empty() && created.empty()));

  auto effectMain = reinterpret_cast<EffectMainFunction>(module->FindSymbol("EffectMain"));
  ASSERT_NE(effectMain, nullptr);
  // Without host records the commands it handles fail cleanly; the others
  // are not its business.
  const std::set<int> handled{0, 1, 3, 4, 5, 6, 8, 11, 13, 14, 22};
  ::testing::internal::CaptureStdout();
  for (int command = -1; command <= 40; ++command) {
    const int result = effectMain(command, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (handled.count(command)) {
      EXPECT_NE(result, 0) << command;
    } else {
      EXPECT_EQ(result, 0) << command;
    }
  }
  // Besides the file, each command is logged to the standard output.
  EXPECT_NE(::testing::internal::GetCapturedStdout().find("LumaroEffect::About\n"), std::string::npos);
  EXPECT_EQ(module->FindSymbol("DllMain"), nullptr);
  module.reset();

  // Unloading closed the log file: it can be removed.
  for (const auto& file : created) {
    std::error_code removeError;
    EXPECT_TRUE(std::filesystem::remove(file, removeError)) << removeError.message();
  }
}

} // namespace
} // namespace brantok::lumaro::ae
