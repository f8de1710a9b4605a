#include "ModuleFixture.h"

#include "HandleStore.h"
#include "PackageWriter.h"
#include "TestEnvironment.h"
#include "ae/EffectExport.h"
#include "core/PathText.h"

#include <cstring>

namespace brantok::lumaro::ae::test {

std::unique_ptr<host::LoadedModule> ModuleFixture::module_;
host::EffectHost::EntryPoint ModuleFixture::entry_ = nullptr;

lumaro::test::ScriptedResponder& ModuleFixture::User() {
  static lumaro::test::ScriptedResponder user;
  return user;
}

void ModuleFixture::SetUpTestSuite() {
  if (module_) return;
  std::string error;
  module_ = host::LoadedModule::Load(LUMARO_MODULE_PATH, error);
  ASSERT_NE(module_, nullptr) << error;
  entry_ = host::EffectHost::FindEntryPoint(*module_);
  ASSERT_NE(entry_, nullptr);
}

void ModuleFixture::TearDownTestSuite() {
  entry_ = nullptr;
  module_.reset();
}

void ModuleFixture::SetUp() {
  ASSERT_NE(entry_, nullptr);
  liveHandles_ = host::HandleStore::Instance().LiveCount();
}

void ModuleFixture::TearDown() {
  // Whatever a test did, the plug-in disposed every handle it made and left
  // none locked once its hosts are gone.
  EXPECT_EQ(host::HandleStore::Instance().LiveCount(), liveHandles_);
  EXPECT_EQ(host::HandleStore::Instance().LockedCount(), 0u);
}

ModuleFixture::HostPtr ModuleFixture::MakeHost(host::eHostApp app) {
  HostPtr host(new host::EffectHost(entry_, app));
  host->SetStrict(true);
  EXPECT_EQ(host->GlobalSetup(), PF_Err_NONE);
  EXPECT_EQ(host->ParamsSetup(), PF_Err_NONE);
  EXPECT_EQ(host->SequenceSetup(sequence_), PF_Err_NONE);
  return host;
}

void ModuleFixture::ChooseEffect(host::EffectHost& host, const std::filesystem::path& package) {
  ASSERT_TRUE(host.Params().WriteArbitraryText(ParameterLayout::EffectPath, core::PathToUtf8(package)));
  host.Params().SetPopupValue(ParameterLayout::EffectPopup, ParameterLayout::PopupEffect);
  const int unsent = host.UnsentCommands();
  EXPECT_EQ(host.UpdateParamsUI(sequence_), PF_Err_NONE);
  EXPECT_EQ(host.UnsentCommands(), unsent) << "the host sends no UPDATE_PARAMS_UI unasked";
}

ModuleFixture::HostPtr ModuleFixture::MakeHost(const std::filesystem::path& package, host::eHostApp app) {
  auto host = MakeHost(app);
  ChooseEffect(*host, package);
  return host;
}

void ModuleFixture::HostTearDown::operator()(host::EffectHost* host) const {
  for (int sequence = 0; sequence < host->SequenceCount(); ++sequence) {
    if (host->SequenceData(sequence)) {
      EXPECT_EQ(host->SequenceSetdown(sequence), PF_Err_NONE);
    }
  }
  EXPECT_EQ(host->GlobalSetdown(), PF_Err_NONE);
  EXPECT_EQ(host->OutstandingSuites(), 0);
  delete host;
}

void ModuleFixture::ExpectPassThrough(host::EffectHost& host, int sequence, PF_Err refusal, PrPixelFormat format) {
  host::HostWorld input(16, 8, format);
  FillInput(input);
  host::HostWorld output(16, 8, format, 4, true);
  output.FillPixels(0x33);
  const auto marked = output.PackedPixels();
  EXPECT_EQ(host.Render(sequence, input, output), refusal);
  EXPECT_EQ(output.PackedPixels(), refusal == PF_Err_NONE ? input.PackedPixels() : marked);
  EXPECT_TRUE(output.PaddingIntact());
}

std::filesystem::path ModuleFixture::Example(const std::string& name) {
  return std::filesystem::path(LUMARO_EFFECTS_DIR) / (name + ".lumaro-effect");
}

std::filesystem::path ModuleFixture::WritePackage(const std::string& name, const std::string& kernel,
                                                  const std::string& metadata) {
  const auto path = folder_ / (name + ".lumaro-effect");
  lumaro::test::WritePackage(path, lumaro::test::StandardEntries(kernel, metadata, "A test effect."));
  return path;
}

std::string ModuleFixture::Kernel(const std::string& name, const std::string& arguments, const std::string& body) {
  return "__kernel void " + name +
         "(__read_only image2d_t input, __write_only image2d_t output, float time, int frame, float duration" +
         arguments + ") { " + body + " }";
}

std::string ModuleFixture::Name(const PF_ParamDef& def) { return {def.name, strnlen(def.name, sizeof(def.name))}; }

lumaro::test::ePacking ModuleFixture::Packing(const host::HostWorld& world) {
  return world.Format() == PrPixelFormat_BGRA_4444_32f ? lumaro::test::ePacking::Bgra32f
                                                       : lumaro::test::ePacking::Bgra8;
}

lumaro::test::Rgba ModuleFixture::InputPixel(const host::HostWorld& world, A_long x, A_long y) {
  return {static_cast<float>(x) / static_cast<float>(world.Width() - 1),
          static_cast<float>(y) / static_cast<float>(world.Height() - 1), static_cast<float>((x + y) % 5) / 4.0f, 0.8f};
}

void ModuleFixture::FillInput(host::HostWorld& world) {
  for (A_long y = 0; y < world.Height(); ++y) {
    for (A_long x = 0; x < world.Width(); ++x) {
      lumaro::test::PackPixel(InputPixel(world, x, y), Packing(world), world.Pixel(x, y));
    }
  }
}

std::filesystem::path ModuleFixture::LogFolder() {
  const auto appData = lumaro::test::PlatformLocalAppData();
  return appData ? *appData / "BRANTOKSTUDIO" / "BRANTOK Lumaro Adobe Plugin" / "Logs" : std::filesystem::path();
}

std::map<std::filesystem::path, std::uintmax_t> ModuleFixture::LogFileSizes() {
  std::map<std::filesystem::path, std::uintmax_t> sizes;
  std::error_code error;
  for (std::filesystem::directory_iterator it(LogFolder(), error), end; !error && it != end; it.increment(error)) {
    if (it->path().filename().string().starts_with("LumaroEffect_")) sizes[it->path()] = it->file_size(error);
  }
  return sizes;
}

} // namespace brantok::lumaro::ae::test

LUMARO_EFFECT_EXPORT brantok::lumaro::core::IDialogResponder* LumaroEffectDialogResponder() {
  return &brantok::lumaro::ae::test::ModuleFixture::User();
}
