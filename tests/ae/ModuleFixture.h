#pragma once

#include "ControlParam.h"
#include "EffectHost.h"
#include "LoadedModule.h"
#include "Pixels.h"
#include "ScriptedResponder.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brantok::lumaro::ae::test {

// Drives the built plug-in module through EffectMain only, with the
// command-line host's library playing Premiere Pro or After Effects. The
// module is loaded once per suite, as a host keeps it loaded for its life.
class ModuleFixture : public ::testing::Test {
public:
  // The user of the module's dialogs, which the module finds among the
  // program's exports (without one Windows would show them and wait): every
  // box is closed and every file dialog cancelled, and each is recorded.
  static lumaro::test::ScriptedResponder& User();

  // The folder of the module's dated log files, and each file's size.
  static std::filesystem::path LogFolder();
  static std::map<std::filesystem::path, std::uintmax_t> LogFileSizes();

  // The source of kernel `name`: the arguments every kernel takes, then
  // `arguments` (", float level"), and `body`.
  static std::string Kernel(const std::string& name, const std::string& arguments, const std::string& body);
  // A name field as text.
  static std::string Name(const PF_ParamDef& def);

  // A picture that differs in every pixel and channel, and its pixel at x, y.
  static void FillInput(host::HostWorld& world);
  static lumaro::test::Rgba InputPixel(const host::HostWorld& world, A_long x, A_long y);
  static lumaro::test::ePacking Packing(const host::HostWorld& world);

protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();

  void SetUp() override;
  void TearDown() override;

  // Sets down every sequence and the global instance, then deletes the host.
  struct HostTearDown {
    void operator()(host::EffectHost* host) const;
  };
  using HostPtr = std::unique_ptr<host::EffectHost, HostTearDown>;
  // A strict host (it sends only what a real one sends) that has run global,
  // parameter and sequence set-up, and sets them down as it goes.
  HostPtr MakeHost(host::eHostApp app = host::eHostApp::PremierePro);
  // The same with `package` chosen as ChooseEffect does.
  HostPtr MakeHost(const std::filesystem::path& package, host::eHostApp app = host::eHostApp::PremierePro);
  // Stores `package` in the Effect Path, picks the loaded-effect entry of the
  // popup (as a reopened project does) and refreshes the panel.
  void ChooseEffect(host::EffectHost& host, const std::filesystem::path& package);
  // Renders a picture in `format` over a marked output: the frame comes out a
  // copy of the input, or with `refusal` expected, the output stays untouched.
  static void ExpectPassThrough(host::EffectHost& host, int sequence, PF_Err refusal = PF_Err_NONE,
                                PrPixelFormat format = PrPixelFormat_BGRA_4444_8u);

  // An example package built with the project.
  static std::filesystem::path Example(const std::string& name);
  // A package written for the test from a kernel and metadata.
  std::filesystem::path WritePackage(const std::string& name, const std::string& kernel, const std::string& metadata);

  static host::EffectHost::EntryPoint entry_;
  int sequence_ = -1;
  lumaro::test::TempFolder folder_;

private:
  static std::unique_ptr<host::LoadedModule> module_;
  std::size_t liveHandles_ = 0;
};

} // namespace brantok::lumaro::ae::test
