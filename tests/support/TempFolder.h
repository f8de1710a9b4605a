#pragma once

#include <filesystem>
#include <string>

namespace brantok::lumaro::test {

// A fresh, empty folder for one test, removed with everything in it when the
// object goes. Lives under the build's scratch folder when the test set-up
// names one (LUMARO_TEST_SCRATCH), else under the system temporary folder.
class TempFolder {
public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& child) const { return path_ / child; }

private:
  std::filesystem::path path_;
};

std::string ReadFile(const std::filesystem::path& path);
// Reads in text mode, so Windows line ends come back as "\n".
std::string ReadTextFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

} // namespace brantok::lumaro::test
