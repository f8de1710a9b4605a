#pragma once

#include "EffectHost.h"

#include <filesystem>
#include <memory>

namespace brantok::lumaro::ae {
class LumaroEffect;
}

namespace brantok::lumaro::fuzz {

// The plug-in in this process, driven through EffectMain's dispatch by the
// host library as Premiere Pro. Global set-up runs once per process, as a
// host keeps the module loaded; each input works on clips of its own, hosts
// that share the one instance, so whatever the host records goes with them.
// Every dialog is declined, so nothing waits for a user.
class FuzzSession {
public:
  static FuzzSession& Get();

  ~FuzzSession();
  FuzzSession(const FuzzSession&) = delete;
  FuzzSession& operator=(const FuzzSession&) = delete;

  // A host for one more clip of the instance, its parameters set up.
  std::unique_ptr<host::EffectHost> NewClip();
  // The instance behind the global data, for what EffectMain does not show
  // (how many effects it holds).
  ae::LumaroEffect& Instance();
  // An example package built with the project.
  static std::filesystem::path Example(const std::string& name);

private:
  FuzzSession();
  host::EffectHost owner_;
};

} // namespace brantok::lumaro::fuzz
