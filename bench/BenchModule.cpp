#include "BenchModule.h"

#include "BenchPaths.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace brantok::lumaro::bench {
namespace {

void Expect(PF_Err error, const char* command) {
  if (error != PF_Err_NONE) throw std::runtime_error(std::string(command) + " failed: " + std::to_string(error));
}

} // namespace

BenchModule::BenchModule() {
  const std::string path = BenchPaths::Module().string();
  std::string error;
  module_ = host::LoadedModule::Load(path, error);
  if (!module_) throw std::runtime_error("cannot load " + path + ": " + error);
  entry_ = host::EffectHost::FindEntryPoint(*module_);
  if (!entry_) throw std::runtime_error("no EffectMain in " + path);
}

BenchModule& BenchModule::Instance() {
  static BenchModule module;
  return module;
}

std::unique_ptr<host::EffectHost> BenchModule::MakeHost(int& sequence) const {
  auto host = std::make_unique<host::EffectHost>(entry_);
  Expect(host->GlobalSetup(), "GlobalSetup");
  Expect(host->ParamsSetup(), "ParamsSetup");
  Expect(host->SequenceSetup(sequence), "SequenceSetup");
  return host;
}

void BenchModule::ChooseEffect(host::EffectHost& host, int sequence, const std::filesystem::path& package) {
  if (!host.Params().WriteArbitraryText(4, package.string())) throw std::runtime_error("cannot store the path");
  host.Params().SetPopupValue(3, 4);
  Expect(host.UpdateParamsUI(sequence), "UpdateParamsUI");
}

void BenchModule::TearDown(host::EffectHost& host) {
  for (int sequence = 0; sequence < host.SequenceCount(); ++sequence) {
    if (host.SequenceData(sequence)) host.SequenceSetdown(sequence);
  }
  host.GlobalSetdown();
}

std::filesystem::path BenchModule::Example(const std::string& name) {
  return BenchPaths::Effects() / (name + ".lumaro-effect");
}

std::string BenchModule::ExampleText(const std::string& name, const std::string& entry) {
  const auto path = BenchPaths::ExampleSources() / name / entry;
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot read " + path.string());
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

} // namespace brantok::lumaro::bench
