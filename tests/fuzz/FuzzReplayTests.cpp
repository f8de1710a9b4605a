#include "FuzzTargets.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <tuple>
#include <vector>

namespace brantok::lumaro::fuzz {
namespace {

using Target = int (*)(const std::uint8_t*, std::size_t);

// Every file directly in `folder`, in name order (none when it is missing).
std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& folder, const std::string& extension = {}) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (it->is_regular_file() && (extension.empty() || it->path().extension() == extension)) {
      files.push_back(it->path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Each target's kept seeds and the inputs that once failed, plus for the
// readers every example, and the empty input. A failure aborts the program
// with the target's own message, after the input's name was printed.
TEST(FuzzReplayTest, EveryTargetTakesItsKeptInputs) {
  std::vector<std::filesystem::path> metadata;
  // The examples are folders, which FilesIn leaves out.
  for (const auto& example : std::filesystem::directory_iterator(LUMARO_EXAMPLES_DIR)) {
    metadata.push_back(example.path() / "metadata.json");
  }
  const auto packages = FilesIn(LUMARO_EFFECTS_DIR, ".lumaro-effect");
  ASSERT_FALSE(packages.empty());
  const std::vector<std::tuple<std::string, Target, std::vector<std::filesystem::path>>> targets{
      {"metadata", FuzzMetadata, metadata},
      {"package", FuzzPackage, packages},
      {"effect_path", FuzzEffectPath, {}},
      {"sequence_record", FuzzSequenceRecord, {}}};
  const std::filesystem::path root(LUMARO_FUZZ_DIR);
  for (const auto& [name, target, extra] : targets) {
    SCOPED_TRACE(name);
    auto inputs = FilesIn(root / "corpus" / name);
    const auto failed = FilesIn(root / "regressions" / name);
    inputs.insert(inputs.end(), failed.begin(), failed.end());
    EXPECT_FALSE(inputs.empty());
    inputs.insert(inputs.end(), extra.begin(), extra.end());
    for (const auto& input : inputs) {
      SCOPED_TRACE(input.string());
      std::cout << "replaying " << input.filename().string() << std::endl;
      const std::string bytes = test::ReadFile(input);
      EXPECT_EQ(target(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), 0);
    }
    EXPECT_EQ(target(nullptr, 0), 0);
  }
}

} // namespace
} // namespace brantok::lumaro::fuzz
