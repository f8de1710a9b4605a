#pragma once

#include "EffectHost.h"
#include "LoadedModule.h"

#include <filesystem>
#include <memory>
#include <string>

namespace brantok::lumaro::bench {

// The built plug-in module, loaded once per process as a host keeps it loaded,
// and the Premiere Pro hosts that drive it through EffectMain.
class BenchModule {
public:
  // Parameter indices of the Warm Glow example's controls: its slider and its
  // colour, in the first two control slots.
  static constexpr PF_ParamIndex WarmGlowAmount = 7;
  static constexpr PF_ParamIndex WarmGlowTint = 12;

  // Loads the module on first use; throws std::runtime_error when it cannot.
  static BenchModule& Instance();

  // A host after global and parameter set-up and one sequence set-up, whose
  // number lands in `sequence`. Throws when a command fails.
  std::unique_ptr<host::EffectHost> MakeHost(int& sequence) const;

  // The Effect Path and the popup as a reopened project has them, then a
  // panel refresh, which loads the effect for `sequence`.
  static void ChooseEffect(host::EffectHost& host, int sequence, const std::filesystem::path& package);

  // Setdown of every open sequence and of the instance.
  static void TearDown(host::EffectHost& host);

  // A package built with the project, and the text of one of its entries
  // from the source tree.
  static std::filesystem::path Example(const std::string& name);
  static std::string ExampleText(const std::string& name, const std::string& entry);

private:
  BenchModule();

  std::unique_ptr<host::LoadedModule> module_;
  host::EffectHost::EntryPoint entry_ = nullptr;
};

} // namespace brantok::lumaro::bench
