#include "FakeEffect.h"

#include <utility>

namespace brantok::lumaro::host::test {
namespace {

FakeBehaviour& Current() {
  static FakeBehaviour behaviour;
  return behaviour;
}

PF_Err FakeEffectMain(PF_Cmd cmd, PF_InData* in, PF_OutData* out, PF_ParamDef** params, PF_LayerDef* output,
                      void* extra) {
  return Current() ? Current()(cmd, in, out, params, output, extra) : PF_Err_NONE;
}

} // namespace

FakeEffect::FakeEffect(FakeBehaviour behaviour) { Current() = std::move(behaviour); }
FakeEffect::~FakeEffect() { Current() = nullptr; }
EffectHost::EntryPoint FakeEffect::Entry() { return FakeEffectMain; }

} // namespace brantok::lumaro::host::test
