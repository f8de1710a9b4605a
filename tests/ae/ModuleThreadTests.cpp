#include "ModuleFixture.h"
#include "PackageWriter.h"
#include "core/PathText.h"

#include <atomic>
#include <chrono>
#include <map>
#include <sstream>
#include <thread>

namespace brantok::lumaro::ae::test {
namespace {

using host::EffectHost;
using host::HostWorld;

constexpr A_long kSize = 8;

// Several clips of one plug-in instance, each a host of its own with its own
// parameters and sequence record, as a project with the effect on several
// clips. Commands of one clip come from one thread at a time, except renders,
// which hosts run on several threads at once.
class ModuleThreadTest : public ModuleFixture {
protected:
  struct Clip {
    std::unique_ptr<EffectHost> host;
    int sequence = -1;
    // The frame of the loaded effect, and the frame without one.
    std::vector<std::uint8_t> rendered;
    std::vector<std::uint8_t> copied;
  };

  void SetUp() override {
    ModuleFixture::SetUp();
    owner_ = std::make_unique<EffectHost>(entry_);
    ASSERT_EQ(owner_->GlobalSetup(), PF_Err_NONE);
    FillInput(input_);
  }

  void TearDown() override {
    for (auto& clip : clips_) {
      if (clip->host->SequenceData(clip->sequence)) {
        EXPECT_EQ(clip->host->SequenceSetdown(clip->sequence), PF_Err_NONE);
      }
      EXPECT_EQ(clip->host->OutstandingSuites(), 0);
    }
    clips_.clear();
    if (owner_) {
      EXPECT_EQ(owner_->GlobalSetdown(), PF_Err_NONE);
      EXPECT_EQ(owner_->OutstandingSuites(), 0);
      owner_.reset();
    }
    ModuleFixture::TearDown();
  }

  // A clip with `example` browsed to by the user (its starting values in the
  // parameters), and its frames recorded before any other thread runs. The
  // fixture sets it down.
  Clip* MakeClip(const std::filesystem::path& package) {
    auto& clip = *clips_.emplace_back(std::make_unique<Clip>());
    clip.host = std::make_unique<EffectHost>(entry_);
    clip.host->UseGlobalDataOf(*owner_);
    EXPECT_EQ(clip.host->ParamsSetup(), PF_Err_NONE);
    EXPECT_EQ(clip.host->SequenceSetup(clip.sequence), PF_Err_NONE);
    EXPECT_EQ(Browse(clip, package), PF_Err_NONE);
    clip.rendered = Render(clip);
    clip.copied = input_.PackedPixels();
    EXPECT_NE(clip.rendered, clip.copied) << package;
    return &clip;
  }

  // The user browses to `package` in the clip's Effect popup.
  PF_Err Browse(Clip& clip, const std::filesystem::path& package) {
    User().fileDialogAnswers.push_back(package);
    clip.host->Params().SetPopupValue(Layout::EffectPopup, Layout::PopupBrowse);
    return clip.host->UserChangedParam(clip.sequence, Layout::EffectPopup);
  }

  std::vector<std::uint8_t> Render(Clip& clip) {
    HostWorld output(kSize, kSize, PrPixelFormat_BGRA_4444_8u, 4);
    const PF_Err error = clip.host->Render(clip.sequence, input_, output);
    if (error != PF_Err_NONE) return {};
    return output.PackedPixels();
  }

  // Forgets the clip's effect, the way the user does (the popup to None) or
  // as a host that sets the sequence down; true when the frame is then a copy.
  bool Forget(Clip& clip, bool byPopup) {
    if (byPopup) {
      clip.host->Params().SetPopupValue(Layout::EffectPopup, Layout::PopupNone);
      if (clip.host->UserChangedParam(clip.sequence, Layout::EffectPopup) != PF_Err_NONE) return false;
    } else {
      if (clip.host->SequenceSetdown(clip.sequence) != PF_Err_NONE) return false;
      if (clip.host->SequenceSetup(clip.sequence) != PF_Err_NONE) return false;
      clip.host->Params().SetPopupValue(Layout::EffectPopup, Layout::PopupNone);
    }
    return Render(clip) == clip.copied;
  }

  // Loads the effect again; true when the frame is then the effect's (never
  // the copy, as MakeClip checked).
  bool Reload(Clip& clip, bool byPopup) {
    clip.host->Params().SetPopupValue(Layout::EffectPopup, Layout::PopupEffect);
    const PF_Err error = byPopup ? clip.host->UserChangedParam(clip.sequence, Layout::EffectPopup)
                                 : clip.host->UpdateParamsUI(clip.sequence);
    return error == PF_Err_NONE && Render(clip) == clip.rendered;
  }

  std::unique_ptr<EffectHost> owner_;
  std::vector<std::unique_ptr<Clip>> clips_;
  HostWorld input_{kSize, kSize, PrPixelFormat_BGRA_4444_8u};
};

TEST_F(ModuleThreadTest, ClipsRenderWhileOthersLoadForgetAndReloadTheirEffects) {
  constexpr int kRenders = 500;
  constexpr int kCycles = 150;
  const std::vector<std::string> examples{"WarmGlow", "ToneChoice", "PulseVignette"};
  std::vector<Clip*> renderClips;
  for (const auto& example : examples) renderClips.push_back(MakeClip(Example(example)));
  std::vector<Clip*> loaderClips;
  for (const auto& example : examples) loaderClips.push_back(MakeClip(Example(example)));
  ASSERT_FALSE(HasFailure());

  std::atomic<int> wrongFrames{0}, failedActions{0}, frames{0};
  std::vector<std::thread> threads;
  // Two threads render the first clip at once, one each of the others.
  for (const std::size_t index : {std::size_t{0}, std::size_t{0}, std::size_t{1}, std::size_t{2}}) {
    threads.emplace_back([&, index] {
      auto& clip = *renderClips[index];
      for (int i = 0; i < kRenders; ++i) {
        if (Render(clip) != clip.rendered) ++wrongFrames;
        ++frames;
      }
    });
  }
  // Loaders: one through the popup, one through the sequence commands, one
  // alternating.
  for (std::size_t index = 0; index < loaderClips.size(); ++index) {
    threads.emplace_back([&, index] {
      auto& clip = *loaderClips[index];
      for (int i = 0; i < kCycles; ++i) {
        const bool byPopup = index == 0 || (index == 2 && i % 2 == 0);
        if (!Forget(clip, byPopup)) ++failedActions;
        if (!Reload(clip, byPopup)) ++failedActions;
        frames += 2;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  std::cout << frames << " frames\n";
  EXPECT_EQ(wrongFrames, 0);
  EXPECT_EQ(failedActions, 0);
}

// Frames the host asked for before the user browsed to another package still
// name the old one; rendered while the user's choice is being made, none may
// bring the old package back into the clip.
TEST_F(ModuleThreadTest, LateFramesOfTheOldPackageNeverWinOverTheUsersChoice) {
  const auto first = MakeClip(Example("WarmGlow"));
  const auto second = MakeClip(Example("ToneChoice"));
  ASSERT_FALSE(HasFailure());
  // The render thread's copy of the clip's parameters, from before any choice.
  EffectHost frames(entry_);
  frames.UseGlobalDataOf(*owner_);
  ASSERT_EQ(frames.ParamsSetup(), PF_Err_NONE);
  frames.Params().WriteArbitraryText(Layout::EffectPath, core::PathToUtf8(Example("WarmGlow")));
  frames.Params().SetPopupValue(Layout::EffectPopup, Layout::PopupEffect);

  std::atomic<bool> done{false};
  std::thread late([&] {
    HostWorld output(kSize, kSize, PrPixelFormat_BGRA_4444_8u, 4);
    while (!done) frames.RenderFrameOf(*first->host, first->sequence, input_, output);
  });
  int wrong = 0;
  for (int round = 0; round < 150; ++round) {
    const bool toSecond = round % 2 == 0;
    ASSERT_EQ(Browse(*first, Example(toSecond ? "ToneChoice" : "WarmGlow")), PF_Err_NONE);
    if (Render(*first) != (toSecond ? second->rendered : first->rendered)) ++wrong;
  }
  done = true;
  late.join();
  EXPECT_EQ(wrong, 0);
}

// Clips sharing a package file follow it as it is replaced while they render,
// each frame wholly of one version; a clip of another file is untouched.
TEST_F(ModuleThreadTest, ClipsFollowTheirPackageAsItIsReplacedAndNoFrameMixesVersions) {
  // Both versions draw red from "a" and green from "b"; the second declares
  // them the other way round, so a frame pairing one version's kernel with
  // the other's arguments shows the two swapped.
  const auto version = [&](const std::string& first, const std::string& second) {
    const auto slider = [](const std::string& id, const std::string& value) {
      return R"({"class": "slider", "id": ")" + id + R"(", "label": ")" + id + R"(", "min": 0, "max": 1, "default": )" +
             value + "}";
    };
    return lumaro::test::PackageBytes(lumaro::test::StandardEntries(
        Kernel("k", ", float " + first + ", float " + second,
               "write_imagef(output, (int2)(get_global_id(0), get_global_id(1)), (float4)(a, b, 0, 1));"),
        R"({"kernel": "k", "controls": [)" + slider(first, first == "a" ? "0.6" : "0.4") + ", " +
            slider(second, second == "a" ? "0.6" : "0.4") + "]}",
        ""));
  };
  const auto shared = folder_ / "Shared.lumaro-effect";
  const std::vector<std::string> versions{version("a", "b"), version("b", "a")};
  lumaro::test::WriteFile(shared, versions[0]);
  const std::vector<Clip*> clips{MakeClip(shared), MakeClip(shared), MakeClip(Example("WarmGlow"))};
  ASSERT_FALSE(HasFailure());

  std::atomic<bool> done{false};
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (Clip* clip : clips) {
    threads.emplace_back([&, clip] {
      while (!done) {
        if (Render(*clip) != clip->rendered) ++wrong;
      }
    });
  }
  for (int save = 1; save <= 8; ++save) {
    const auto next = folder_ / "next";
    lumaro::test::WriteFile(next, versions[save % 2]);
    std::error_code error; // a file system that will not replace an open file skips this save
    std::filesystem::rename(next, shared, error);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
  }
  done = true;
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(wrong, 0);
}

TEST_F(ModuleThreadTest, LogLinesFromConcurrentThreadsArriveWhole) {
  // Other test programs may log to the same folder meanwhile: what every log
  // file gained is read, and each line of these threads must be there whole.
  const auto before = LogFileSizes();
  constexpr int kThreads = 4;
  constexpr int kCommands = 150;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      EffectHost clip(entry_);
      clip.UseGlobalDataOf(*owner_);
      for (int i = 0; i < kCommands; ++i) {
        // Without a record: each logs its command and a warning.
        EXPECT_EQ(clip.SequenceResetup(-1), PF_Err_NONE);
        EXPECT_EQ(clip.UpdateParamsUI(-1), PF_Err_NONE);
      }
    });
  }
  for (auto& thread : threads) thread.join();

  std::map<std::string, int> lines;
  for (const auto& [file, size] : LogFileSizes()) {
    const auto known = before.find(file);
    std::istringstream stream(lumaro::test::ReadFile(file).substr(known == before.end() ? 0 : known->second));
    for (std::string line; std::getline(stream, line);) ++lines[line.substr(0, line.find_last_not_of('\r') + 1)];
  }
  for (const auto* text :
       {"LumaroEffect::SequenceResetup", "Warning, Plugin::SequenceResetup called with null sequence data",
        "LumaroEffect::UpdateParameterUI", "Warning, Plugin::UpdateParameterUI called with null sequence data"}) {
    EXPECT_GE(lines[text], kThreads * kCommands) << text;
  }
}

} // namespace
} // namespace brantok::lumaro::ae::test
