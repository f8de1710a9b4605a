#include "ModuleFixture.h"
#include "ae/EffectExport.h"
#include "core/IDialogResponder.h"
#include "core/PathText.h"

#include <deque>

namespace {

// The module has its own copy of the dialog code; this program answers its
// dialogs the way the command-line host does, through the exported function.
class ExportedUser : public brantok::lumaro::core::IDialogResponder {
public:
  using Result = brantok::lumaro::core::eMessageBoxResult;
  using Type = brantok::lumaro::core::eMessageBoxType;

  Result AnswerMessageBox(Type, const std::string& text, const std::string& caption) override {
    boxes.push_back(caption + ": " + text);
    return Result::None;
  }
  std::optional<std::filesystem::path> AnswerOpenFileDialog(const std::string&,
                                                            const std::vector<brantok::lumaro::core::FileTypeFilter>&,
                                                            const std::optional<std::filesystem::path>&) override {
    if (files.empty()) return std::nullopt;
    auto file = files.front();
    files.pop_front();
    return file;
  }
  std::optional<std::filesystem::path> AnswerSaveFileDialog(const std::string&,
                                                            const std::vector<brantok::lumaro::core::FileTypeFilter>&,
                                                            const std::optional<std::filesystem::path>&,
                                                            const std::optional<std::filesystem::path>&,
                                                            const std::optional<std::filesystem::path>&) override {
    return std::nullopt;
  }

  std::deque<std::filesystem::path> files;
  std::vector<std::string> boxes;
};

ExportedUser& User() {
  static ExportedUser user;
  return user;
}

} // namespace

LUMARO_EFFECT_EXPORT brantok::lumaro::core::IDialogResponder* LumaroEffectDialogResponder() { return &User(); }

namespace brantok::lumaro::ae::test {
namespace {

class ModuleUserActionTest : public ModuleFixture {};

TEST_F(ModuleUserActionTest, TheModuleAsksTheEmbeddingProgramToAnswerItsDialogs) {
  auto host = MakeHost();
  User().files = {Example("WarmGlow")};
  User().boxes.clear();
  host->Params().SetPopupValue(3, 2);
  ASSERT_EQ(host->UserChangedParam(sequence_, 3), PF_Err_NONE);
  EXPECT_EQ(host->Params().ReadArbitraryText(4), core::PathToUtf8(Example("WarmGlow")));
  EXPECT_EQ(host->Params().At(3).u.pd.value, 4);
  EXPECT_EQ(VisibleControlParams(*host), (std::vector<PF_ParamIndex>{7, 12}));

  // Cancelling the next browse turns the effect off again.
  host->Params().SetPopupValue(3, 2);
  ASSERT_EQ(host->UserChangedParam(sequence_, 3), PF_Err_NONE);
  EXPECT_EQ(host->Params().At(3).u.pd.value, 1);
  EXPECT_TRUE(VisibleControlParams(*host).empty());
  EXPECT_TRUE(User().boxes.empty());
  TearDownHost(*host);
}

} // namespace
} // namespace brantok::lumaro::ae::test
