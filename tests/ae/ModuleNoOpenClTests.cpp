// The module on a machine without an OpenCL driver: this program runs with the
// runtime hidden (Linux: the ICD loader given an empty vendor folder; Wine:
// opencl.dll disabled), so the module must load, work its panel and pass
// frames through.
#include "ModuleFixture.h"
#include "TestEnvironment.h"
#include "core/PathText.h"

#include <map>
#include <memory>

namespace brantok::lumaro::ae::test {
namespace {

constexpr const char* kNoDeviceLine = "No OpenCL device was found";

using Logs = std::map<std::filesystem::path, std::uintmax_t>;

// How often the modules logged `part` since their logs had the sizes `before`.
int LoggedSince(const Logs& before, const std::string& part) {
  int count = 0;
  for (const auto& [path, size] : ModuleFixture::LogFileSizes()) {
    const auto text = lumaro::test::ReadFile(path).substr(before.contains(path) ? before.at(path) : 0);
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  }
  return count;
}

class ModuleNoOpenClTest : public ModuleFixture {
protected:
  static void SetUpTestSuite() {
    // Where the folder comes from the environment (XDG_DATA_HOME), the
    // module's log is this program's alone.
    logHome_ = std::make_unique<lumaro::test::TempFolder>();
    lumaro::test::SetEnvironment("XDG_DATA_HOME", core::PathToUtf8(logHome_->Path()));
    logsBefore_ = LogFileSizes();
    ModuleFixture::SetUpTestSuite();
  }

  // The popup re-selected with the stored path, as a user picks the effect's
  // entry again; returns the boxes it showed.
  std::vector<std::string> Reselect(host::EffectHost& host) {
    const auto before = User().messageBoxes.size();
    host.Params().SetPopupValue(Layout::EffectPopup, Layout::PopupEffect);
    EXPECT_EQ(host.UserChangedParam(sequence_, Layout::EffectPopup), PF_Err_NONE);
    std::vector<std::string> boxes;
    for (auto i = before; i < User().messageBoxes.size(); ++i) {
      boxes.push_back(User().messageBoxes[i].caption + ": " + User().messageBoxes[i].text);
    }
    return boxes;
  }

  static std::unique_ptr<lumaro::test::TempFolder> logHome_;
  static Logs logsBefore_;
};

std::unique_ptr<lumaro::test::TempFolder> ModuleNoOpenClTest::logHome_;
Logs ModuleNoOpenClTest::logsBefore_;

TEST_F(ModuleNoOpenClTest, KeepsTheChosenEffectSaysWhyAndPassesFramesThrough) {
  auto host = MakeHost();
  EXPECT_EQ(host->About(), PF_Err_NONE);
  const auto package = Example("WarmGlow");
  ChooseEffect(*host, package);
  EXPECT_TRUE(VisibleControlParams(*host).empty());

  const auto boxes = Reselect(*host);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(boxes[0].starts_with("No OpenCL Device: No OpenCL device was found, so 'WarmGlow' cannot be rendered"))
      << boxes[0];
  EXPECT_NE(boxes[0].find("A graphics driver with OpenCL support is needed"), std::string::npos) << boxes[0];
  EXPECT_EQ(host->Params().At(Layout::EffectPopup).u.pd.value, Layout::PopupEffect);
  EXPECT_EQ(host->Params().ReadArbitraryText(Layout::EffectPath), core::PathToUtf8(package));

  for (const auto format : {PrPixelFormat_BGRA_4444_8u, PrPixelFormat_BGRA_4444_32f}) {
    ExpectPassThrough(*host, sequence_, PF_Err_NONE, format);
  }
  // The sync button still works (here nothing is received), and the panel refreshes.
  EXPECT_EQ(host->UserChangedParam(sequence_, Layout::SyncButton), PF_Err_NONE);
  EXPECT_EQ(host->Params().ReadArbitraryText(Layout::EffectPath), core::PathToUtf8(package));
  EXPECT_EQ(host->UpdateParamsUI(sequence_), PF_Err_NONE);
  EXPECT_EQ(LoggedSince(logsBefore_, kNoDeviceLine), 1);
}

TEST_F(ModuleNoOpenClTest, ABrokenPackageIsStillRefusedAsBefore) {
  auto host = MakeHost(WritePackage("Broken", "__kernel void k() {}", "{ not json"));
  const auto boxes = Reselect(*host);
  EXPECT_EQ(boxes, std::vector<std::string>{"Invalid Lumaro Effect: Unable to load selected effect"});
  EXPECT_EQ(host->Params().At(Layout::EffectPopup).u.pd.value, Layout::PopupNone);
}

} // namespace
} // namespace brantok::lumaro::ae::test
