#pragma once

#include "ae/sdk/EffectApi.h"

#include <cstdint>

namespace brantok::lumaro::host {

class EffectHost;

// The C function tables the plug-in calls back into. Functions that receive an
// effect_ref find their host through it; the others (handles, suites, pixel
// formats of a world) belong to no host in the API, so they use the host whose
// command runs on the calling thread (Scope), or answer without one.
class HostCallbacks {
public:
  HostCallbacks() = delete;

  // Marks a command of `host` as running on this thread for its lifetime;
  // nests.
  class Scope {
  public:
    Scope(EffectHost& host, PF_Cmd cmd);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

  private:
    EffectHost* previousHost_;
    PF_Cmd previousCommand_;
  };

  static EffectHost* ActiveHost();
  // The command that ActiveHost() handles, -1 with none.
  static PF_Cmd ActiveCommand();
  // The host behind an effect_ref, or null when it is not one of ours.
  static EffectHost* FromRef(PF_ProgPtr ref);
  static constexpr unsigned long long kTagMagic = 0x4C756D61486F7374ULL; // "LumaHost"

  static PF_UtilCallbacks* Utils();
  static SPBasicSuite* Basic();
  static PF_InteractCallbacks Interact();
  static const PF_ParamUtilsSuite3* ParamUtilsSuite();
  static const PF_HandleSuite1* HandleSuite();
  static const PF_ANSICallbacksSuite1* AnsiSuite();
  static const PF_PixelFormatSuite1* PixelFormatSuite();
  // The suite table the host answers AcquireSuite(name, version) with, or
  // null for a suite it does not offer.
  static const void* FindSuite(const char* name, std::int32_t version, bool premierePro);

  // utils->copy, also usable without a plug-in.
  static PF_Err CopyWorld(const PF_EffectWorld* src, PF_EffectWorld* dst, const PF_Rect* srcRect,
                          const PF_Rect* dstRect);
  // ansi.sprintf: at most 256 bytes with the terminating zero.
  static int Sprintf(A_char* destination, const A_char* format, ...);

  // The C functions hand calls that concern one host to these.
  static PF_Err AddParamFor(EffectHost& host, PF_ParamIndex index, PF_ParamDef* def);
  static PF_Err CheckoutParamFor(EffectHost& host, PF_ParamIndex index, PF_ParamDef* param);
  static PF_Err UpdateParamUIFor(EffectHost& host, PF_ParamIndex index, const PF_ParamDef* def);
  static SPErr AcquireSuiteFor(EffectHost& host, const char* name, std::int32_t version, const void** suite);
  static SPErr ReleaseSuiteFor(EffectHost& host, const char* name, std::int32_t version);
  static PF_Err NewWorldFor(EffectHost& host, A_long width, A_long height, PF_NewWorldFlags flags,
                            PF_EffectWorld* world);
  static PF_Err DisposeWorldFor(EffectHost& host, PF_EffectWorld* world);
  static void SupportedPixelFormatFor(EffectHost& host, bool clear, PrPixelFormat format);
};

} // namespace brantok::lumaro::host
