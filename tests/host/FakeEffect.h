#pragma once

#include "EffectHost.h"

#include <functional>

namespace brantok::lumaro::host::test {

// A stand-in for a plug-in's EffectMain: what it does is set per test.
using FakeBehaviour = std::function<PF_Err(PF_Cmd, PF_InData*, PF_OutData*, PF_ParamDef**, PF_LayerDef*, void*)>;

// Sets the behaviour for as long as it lives and offers the entry point that
// runs it. One at a time.
class FakeEffect {
public:
  explicit FakeEffect(FakeBehaviour behaviour);
  ~FakeEffect();
  FakeEffect(const FakeEffect&) = delete;
  FakeEffect& operator=(const FakeEffect&) = delete;

  static EffectHost::EntryPoint Entry();
};

} // namespace brantok::lumaro::host::test
