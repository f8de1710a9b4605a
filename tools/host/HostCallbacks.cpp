#include "HostCallbacks.h"

#include "EffectHost.h"
#include "HandleStore.h"
#include "HostWorld.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace brantok::lumaro::host {
namespace {

thread_local EffectHost* tActiveHost = nullptr;
thread_local PF_Cmd tActiveCommand = -1;

// The size of PF_OutData::return_msg, the only destination the API names.
constexpr std::size_t kSprintfLimit = sizeof(PF_OutData::return_msg);

// Any failure code of the suite broker other than "not found"; the plug-in
// does not allocate through it.
constexpr SPErr kBlockError = 1;

A_long BytesPerPixelOf(const PF_EffectWorld* world) {
  const auto format = HostWorld::FormatOf(world);
  // A world the host did not make is taken for After Effects' 8-bit ARGB.
  return format ? HostWorld::BytesPerPixel(*format) : 4;
}

std::uint8_t* RowOf(const PF_EffectWorld* world, A_long y) {
  return reinterpret_cast<std::uint8_t*>(world->data) + static_cast<std::ptrdiff_t>(y) * world->rowbytes;
}

// Rows at least as long as the world is wide; shorter ones would overlap.
bool RowsFit(const PF_EffectWorld* world, A_long bytesPerPixel) {
  return std::llabs(static_cast<long long>(world->rowbytes)) >=
         static_cast<long long>(world->width) * static_cast<long long>(bytesPerPixel);
}

bool InsideWorld(const PF_Rect& rect, const PF_EffectWorld* world) {
  return rect.left >= 0 && rect.top >= 0 && rect.left <= rect.right && rect.top <= rect.bottom &&
         rect.right <= world->width && rect.bottom <= world->height;
}

// One pixel of `format` from straight 0..1 components; false for formats the
// host cannot write.
bool WritePixel(PrPixelFormat format, float alpha, float red, float green, float blue, void* pixel) {
  auto byte = [](float value) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
  };
  auto* bytes = static_cast<std::uint8_t*>(pixel);
  auto* floats = static_cast<float*>(pixel);
  switch (format) {
  case PrPixelFormat_BGRA_4444_8u:
    bytes[0] = byte(blue), bytes[1] = byte(green), bytes[2] = byte(red), bytes[3] = byte(alpha);
    return true;
  case PrPixelFormat_BGRX_4444_8u:
    bytes[0] = byte(blue), bytes[1] = byte(green), bytes[2] = byte(red), bytes[3] = 255;
    return true;
  case PrPixelFormat_ARGB_4444_8u:
    bytes[0] = byte(alpha), bytes[1] = byte(red), bytes[2] = byte(green), bytes[3] = byte(blue);
    return true;
  case PrPixelFormat_BGRA_4444_32f:
    floats[0] = blue, floats[1] = green, floats[2] = red, floats[3] = alpha;
    return true;
  case PrPixelFormat_ARGB_4444_32f:
    floats[0] = alpha, floats[1] = red, floats[2] = green, floats[3] = blue;
    return true;
  default:
    return false;
  }
}

// in_data->utils

PF_Err Copy(PF_ProgPtr ref, PF_EffectWorld* src, PF_EffectWorld* dst, PF_Rect* srcRect, PF_Rect* dstRect) {
  EffectHost* host = HostCallbacks::FromRef(ref);
  if (!host) return PF_Err_BAD_CALLBACK_PARAM;
  {
    std::lock_guard lock(host->StateMutex());
    if (host->Faults().copy.Trip()) return host->Faults().copyError;
  }
  return HostCallbacks::CopyWorld(src, dst, srcRect, dstRect);
}

PF_Err Fill(PF_ProgPtr ref, const PF_Pixel* color, const PF_Rect* rect, PF_EffectWorld* world) {
  if (!HostCallbacks::FromRef(ref) || !world) return PF_Err_BAD_CALLBACK_PARAM;
  const PF_Pixel pixel = color ? *color : PF_Pixel{0, 0, 0, 0};
  const PrPixelFormat format = HostWorld::FormatOf(world).value_or(PrPixelFormat_ARGB_4444_8u);
  std::uint8_t sample[16];
  if (!WritePixel(format, pixel.alpha / 255.0f, pixel.red / 255.0f, pixel.green / 255.0f, pixel.blue / 255.0f,
                  sample)) {
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  const PF_Rect area = rect ? *rect : PF_Rect{0, 0, world->width, world->height};
  if (!InsideWorld(area, world)) return PF_Err_BAD_CALLBACK_PARAM;
  const A_long size = HostWorld::BytesPerPixel(format);
  for (A_long y = area.top; y < area.bottom; ++y) {
    for (A_long x = area.left; x < area.right; ++x) std::memcpy(RowOf(world, y) + x * size, sample, size);
  }
  return PF_Err_NONE;
}

PF_Err NewWorld(PF_ProgPtr ref, A_long width, A_long height, PF_NewWorldFlags flags, PF_EffectWorld* world) {
  EffectHost* host = HostCallbacks::FromRef(ref);
  if (!host || !world) return PF_Err_BAD_CALLBACK_PARAM;
  return HostCallbacks::NewWorldFor(*host, width, height, flags, world);
}

PF_Err DisposeWorld(PF_ProgPtr ref, PF_EffectWorld* world) {
  EffectHost* host = HostCallbacks::FromRef(ref);
  if (!host || !world) return PF_Err_BAD_CALLBACK_PARAM;
  return HostCallbacks::DisposeWorldFor(*host, world);
}

PF_Handle NewHandle(A_HandleSize size) {
  if (EffectHost* host = HostCallbacks::ActiveHost()) {
    std::lock_guard lock(host->StateMutex());
    if (host->Faults().newHandle.Trip()) return nullptr;
  }
  return HandleStore::Instance().New(size);
}

void* LockHandle(PF_Handle handle) {
  if (EffectHost* host = HostCallbacks::ActiveHost()) {
    std::lock_guard lock(host->StateMutex());
    if (host->Faults().lockHandle.Trip()) return nullptr;
  }
  return HandleStore::Instance().Lock(handle);
}

void UnlockHandle(PF_Handle handle) { HandleStore::Instance().Unlock(handle); }
void DisposeHandle(PF_Handle handle) { HandleStore::Instance().Dispose(handle); }
A_HandleSize GetHandleSize(PF_Handle handle) { return HandleStore::Instance().GetSize(handle); }
PF_Err ResizeHandle(A_HandleSize size, PF_Handle* handle) { return HandleStore::Instance().Resize(size, handle); }

char* Strcpy(char* destination, const char* source) { return std::strcpy(destination, source); }

// in_data->inter

PF_Err CheckoutParam(PF_ProgPtr ref, PF_ParamIndex index, A_long, A_long, A_u_long, PF_ParamDef* param) {
  EffectHost* host = HostCallbacks::FromRef(ref);
  if (!host || !param) return PF_Err_BAD_CALLBACK_PARAM;
  return HostCallbacks::CheckoutParamFor(*host, index, param);
}

PF_Err CheckinParam(PF_ProgPtr ref, PF_ParamDef* param) {
  return HostCallbacks::FromRef(ref) && param ? PF_Err_NONE : PF_Err_BAD_CALLBACK_PARAM;
}

PF_Err AddParam(PF_ProgPtr ref, PF_ParamIndex index, PF_ParamDef* def) {
  EffectHost* host = HostCallbacks::FromRef(ref);
  if (!host) return PF_Err_BAD_CALLBACK_PARAM;
  return HostCallbacks::AddParamFor(*host, index, def);
}

PF_Err Abort(PF_ProgPtr ref) { return HostCallbacks::FromRef(ref) ? PF_Err_NONE : PF_Err_BAD_CALLBACK_PARAM; }

PF_Err Progress(PF_ProgPtr ref, A_long, A_long) {
  return HostCallbacks::FromRef(ref) ? PF_Err_NONE : PF_Err_BAD_CALLBACK_PARAM;
}

// The suite broker.

SPErr AcquireSuite(const char* name, std::int32_t version, const void** suite) {
  if (EffectHost* host = HostCallbacks::ActiveHost())
    return HostCallbacks::AcquireSuiteFor(*host, name, version, suite);
  if (!suite) return kSPSuiteNotFoundError;
  *suite = name ? HostCallbacks::FindSuite(name, version, true) : nullptr;
  return *suite ? kSPNoError : kSPSuiteNotFoundError;
}

SPErr ReleaseSuite(const char* name, std::int32_t version) {
  if (EffectHost* host = HostCallbacks::ActiveHost()) return HostCallbacks::ReleaseSuiteFor(*host, name, version);
  return name ? kSPNoError : kSPSuiteNotFoundError;
}

SPBoolean IsEqual(const char* a, const char* b) { return a && b && std::strcmp(a, b) == 0 ? 1 : 0; }

SPErr AllocateBlock(std::size_t size, void** block) {
  if (!block) return kBlockError;
  *block = std::malloc(std::max<std::size_t>(size, 1));
  return *block ? kSPNoError : kBlockError;
}

SPErr FreeBlock(void* block) {
  std::free(block);
  return kSPNoError;
}

SPErr ReallocateBlock(void* block, std::size_t size, void** newBlock) {
  if (!newBlock) return kBlockError;
  void* moved = std::realloc(block, std::max<std::size_t>(size, 1));
  if (!moved) return kBlockError;
  *newBlock = moved;
  return kSPNoError;
}

SPErr Undefined() { return kSPNoError; }

// "PF Param Utils Suite" 3

PF_Err UpdateParamUI(PF_ProgPtr ref, PF_ParamIndex index, const PF_ParamDef* def) {
  EffectHost* host = HostCallbacks::FromRef(ref);
  if (!host) return PF_Err_BAD_CALLBACK_PARAM;
  return HostCallbacks::UpdateParamUIFor(*host, index, def);
}

// Parameters never animate in this host, so every state is the same.
PF_Err GetCurrentState(PF_ProgPtr ref, PF_ParamIndex, const A_Time*, const A_Time*, PF_State* state) {
  if (!HostCallbacks::FromRef(ref) || !state) return PF_Err_BAD_CALLBACK_PARAM;
  *state = PF_State{};
  return PF_Err_NONE;
}

PF_Err AreStatesIdentical(PF_ProgPtr ref, const PF_State* a, const PF_State* b, A_Boolean* same) {
  if (!HostCallbacks::FromRef(ref) || !a || !b || !same) return PF_Err_BAD_CALLBACK_PARAM;
  *same = std::memcmp(a, b, sizeof(PF_State)) == 0 ? 1 : 0;
  return PF_Err_NONE;
}

// "PF Pixel Format Suite" 1

PF_Err AddSupportedPixelFormat(PF_ProgPtr ref, PrPixelFormat format) {
  EffectHost* host = HostCallbacks::FromRef(ref);
  if (!host) return PF_Err_BAD_CALLBACK_PARAM;
  HostCallbacks::SupportedPixelFormatFor(*host, false, format);
  return PF_Err_NONE;
}

PF_Err ClearSupportedPixelFormats(PF_ProgPtr ref) {
  EffectHost* host = HostCallbacks::FromRef(ref);
  if (!host) return PF_Err_BAD_CALLBACK_PARAM;
  HostCallbacks::SupportedPixelFormatFor(*host, true, PrPixelFormat_Any);
  return PF_Err_NONE;
}

// Not implemented by the host, as its header says.
PF_Err NewWorldOfPixelFormat(PF_ProgPtr, A_u_long, A_u_long, PF_NewWorldFlags, PrPixelFormat, PF_EffectWorld*) {
  return PF_Err_INVALID_CALLBACK;
}
PF_Err DisposePixelFormatWorld(PF_ProgPtr, PF_EffectWorld*) { return PF_Err_INVALID_CALLBACK; }

PF_Err GetPixelFormat(PF_EffectWorld* world, PrPixelFormat* format) {
  if (!format) return PF_Err_BAD_CALLBACK_PARAM;
  const auto found = HostWorld::FormatOf(world);
  *format = found.value_or(PrPixelFormat_Invalid);
  return found ? PF_Err_NONE : PF_Err_BAD_CALLBACK_PARAM;
}

PF_Err GetBlackForPixelFormat(const PrPixelFormat format, void* pixel) {
  return pixel && WritePixel(format, 1.0f, 0.0f, 0.0f, 0.0f, pixel) ? PF_Err_NONE : PF_Err_BAD_CALLBACK_PARAM;
}

PF_Err GetWhiteForPixelFormat(const PrPixelFormat format, void* pixel) {
  return pixel && WritePixel(format, 1.0f, 1.0f, 1.0f, 1.0f, pixel) ? PF_Err_NONE : PF_Err_BAD_CALLBACK_PARAM;
}

PF_Err ConvertColorToPixelFormattedData(const PrPixelFormat format, const float alpha, const float red,
                                        const float green, const float blue, void* pixel) {
  return pixel && WritePixel(format, alpha, red, green, blue, pixel) ? PF_Err_NONE : PF_Err_BAD_CALLBACK_PARAM;
}

} // namespace

HostCallbacks::Scope::Scope(EffectHost& host, PF_Cmd cmd) :
    previousHost_(tActiveHost), previousCommand_(tActiveCommand) {
  tActiveHost = &host;
  tActiveCommand = cmd;
}

HostCallbacks::Scope::~Scope() {
  tActiveHost = previousHost_;
  tActiveCommand = previousCommand_;
}

EffectHost* HostCallbacks::ActiveHost() { return tActiveHost; }
PF_Cmd HostCallbacks::ActiveCommand() { return tActiveCommand; }

EffectHost* HostCallbacks::FromRef(PF_ProgPtr ref) {
  if (!ref) return nullptr;
  const auto* tag = reinterpret_cast<const EffectHost::Tag*>(ref);
  return tag->magic == kTagMagic ? tag->host : nullptr;
}

PF_UtilCallbacks* HostCallbacks::Utils() {
  static PF_UtilCallbacks utils = [] {
    PF_UtilCallbacks u{};
    u.copy = Copy;
    u.fill = Fill;
    u.new_world = NewWorld;
    u.dispose_world = DisposeWorld;
    u.host_new_handle = NewHandle;
    u.host_lock_handle = LockHandle;
    u.host_unlock_handle = UnlockHandle;
    u.host_dispose_handle = DisposeHandle;
    u.host_get_handle_size = GetHandleSize;
    u.host_resize_handle = ResizeHandle;
    const PF_ANSICallbacksSuite1& ansi = *AnsiSuite();
    u.ansi.atan = ansi.atan;
    u.ansi.atan2 = ansi.atan2;
    u.ansi.ceil = ansi.ceil;
    u.ansi.cos = ansi.cos;
    u.ansi.exp = ansi.exp;
    u.ansi.fabs = ansi.fabs;
    u.ansi.floor = ansi.floor;
    u.ansi.fmod = ansi.fmod;
    u.ansi.hypot = ansi.hypot;
    u.ansi.log = ansi.log;
    u.ansi.log10 = ansi.log10;
    u.ansi.pow = ansi.pow;
    u.ansi.sin = ansi.sin;
    u.ansi.sqrt = ansi.sqrt;
    u.ansi.tan = ansi.tan;
    u.ansi.sprintf = ansi.sprintf;
    u.ansi.strcpy = ansi.strcpy;
    u.ansi.asin = ansi.asin;
    u.ansi.acos = ansi.acos;
    return u;
  }();
  return &utils;
}

SPBasicSuite* HostCallbacks::Basic() {
  static SPBasicSuite basic{AcquireSuite, ReleaseSuite, IsEqual, AllocateBlock, FreeBlock, ReallocateBlock, Undefined};
  return &basic;
}

PF_InteractCallbacks HostCallbacks::Interact() {
  PF_InteractCallbacks inter{};
  inter.checkout_param = CheckoutParam;
  inter.checkin_param = CheckinParam;
  inter.add_param = AddParam;
  inter.abort = Abort;
  inter.progress = Progress;
  return inter;
}

const PF_ParamUtilsSuite3* HostCallbacks::ParamUtilsSuite() {
  static const PF_ParamUtilsSuite3 suite{
      UpdateParamUI, GetCurrentState, AreStatesIdentical, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
  return &suite;
}

const PF_HandleSuite1* HostCallbacks::HandleSuite() {
  static const PF_HandleSuite1 suite{NewHandle, LockHandle, UnlockHandle, DisposeHandle, GetHandleSize, ResizeHandle};
  return &suite;
}

const PF_ANSICallbacksSuite1* HostCallbacks::AnsiSuite() {
  static const PF_ANSICallbacksSuite1 suite{
      [](A_FpLong x) { return std::atan(x); },
      [](A_FpLong y, A_FpLong x) { return std::atan2(y, x); },
      [](A_FpLong x) { return std::ceil(x); },
      [](A_FpLong x) { return std::cos(x); },
      [](A_FpLong x) { return std::exp(x); },
      [](A_FpLong x) { return std::fabs(x); },
      [](A_FpLong x) { return std::floor(x); },
      [](A_FpLong x, A_FpLong y) { return std::fmod(x, y); },
      [](A_FpLong x, A_FpLong y) { return std::hypot(x, y); },
      [](A_FpLong x) { return std::log(x); },
      [](A_FpLong x) { return std::log10(x); },
      [](A_FpLong x, A_FpLong y) { return std::pow(x, y); },
      [](A_FpLong x) { return std::sin(x); },
      [](A_FpLong x) { return std::sqrt(x); },
      [](A_FpLong x) { return std::tan(x); },
      Sprintf,
      Strcpy,
      [](A_FpLong x) { return std::asin(x); },
      [](A_FpLong x) { return std::acos(x); },
  };
  return &suite;
}

const PF_PixelFormatSuite1* HostCallbacks::PixelFormatSuite() {
  static const PF_PixelFormatSuite1 suite{
      AddSupportedPixelFormat, ClearSupportedPixelFormats, NewWorldOfPixelFormat,  DisposePixelFormatWorld,
      GetPixelFormat,          GetBlackForPixelFormat,     GetWhiteForPixelFormat, ConvertColorToPixelFormattedData};
  return &suite;
}

const void* HostCallbacks::FindSuite(const char* name, std::int32_t version, bool premierePro) {
  const std::string_view suite(name);
  if (suite == kPFParamUtilsSuite && version == kPFParamUtilsSuiteVersion3) return ParamUtilsSuite();
  if (suite == kPFHandleSuite && version == kPFHandleSuiteVersion1) return HandleSuite();
  if (suite == kPFANSISuite && version == kPFANSISuiteVersion1) return AnsiSuite();
  if (suite == kPFPixelFormatSuite && version == kPFPixelFormatSuiteVersion1 && premierePro) {
    return PixelFormatSuite();
  }
  return nullptr;
}

PF_Err HostCallbacks::CopyWorld(const PF_EffectWorld* src, PF_EffectWorld* dst, const PF_Rect* srcRect,
                                const PF_Rect* dstRect) {
  if (!src || !dst) return PF_Err_BAD_CALLBACK_PARAM;
  const A_long size = BytesPerPixelOf(src);
  if (BytesPerPixelOf(dst) != size) return PF_Err_BAD_CALLBACK_PARAM;
  const PF_Rect from = srcRect ? *srcRect : PF_Rect{0, 0, src->width, src->height};
  const PF_Rect to = dstRect ? *dstRect : PF_Rect{0, 0, dst->width, dst->height};
  if (!InsideWorld(from, src) || !InsideWorld(to, dst)) return PF_Err_BAD_CALLBACK_PARAM;
  const A_long width = from.right - from.left;
  const A_long height = from.bottom - from.top;
  // No scaling: both areas must have the same size.
  if (width != to.right - to.left || height != to.bottom - to.top) return PF_Err_BAD_CALLBACK_PARAM;
  if (width == 0 || height == 0) return PF_Err_NONE;
  if (!src->data || !dst->data || !RowsFit(src, size) || !RowsFit(dst, size)) return PF_Err_BAD_CALLBACK_PARAM;
  const std::size_t rowSize = static_cast<std::size_t>(width) * static_cast<std::size_t>(size);
  for (A_long y = 0; y < height; ++y) {
    std::memmove(RowOf(dst, to.top + y) + static_cast<std::ptrdiff_t>(to.left) * size,
                 RowOf(src, from.top + y) + static_cast<std::ptrdiff_t>(from.left) * size, rowSize);
  }
  return PF_Err_NONE;
}

PF_Err HostCallbacks::AddParamFor(EffectHost& host, PF_ParamIndex index, PF_ParamDef* def) {
  return host.OnAddParam(index, def);
}

PF_Err HostCallbacks::CheckoutParamFor(EffectHost& host, PF_ParamIndex index, PF_ParamDef* param) {
  return host.OnCheckoutParam(index, param);
}

PF_Err HostCallbacks::UpdateParamUIFor(EffectHost& host, PF_ParamIndex index, const PF_ParamDef* def) {
  return host.OnUpdateParamUI(index, def);
}

SPErr HostCallbacks::AcquireSuiteFor(EffectHost& host, const char* name, std::int32_t version, const void** suite) {
  return host.OnAcquireSuite(name, version, suite);
}

SPErr HostCallbacks::ReleaseSuiteFor(EffectHost& host, const char* name, std::int32_t version) {
  return host.OnReleaseSuite(name, version);
}

PF_Err HostCallbacks::NewWorldFor(EffectHost& host, A_long width, A_long height, PF_NewWorldFlags flags,
                                  PF_EffectWorld* world) {
  return host.OnNewWorld(width, height, flags, world);
}

PF_Err HostCallbacks::DisposeWorldFor(EffectHost& host, PF_EffectWorld* world) { return host.OnDisposeWorld(world); }

void HostCallbacks::SupportedPixelFormatFor(EffectHost& host, bool clear, PrPixelFormat format) {
  host.OnSupportedPixelFormat(clear, format);
}

int HostCallbacks::Sprintf(A_char* destination, const A_char* format, ...) {
  if (!destination || !format) return -1;
  va_list arguments;
  va_start(arguments, format);
  const int length = std::vsnprintf(destination, kSprintfLimit, format, arguments);
  va_end(arguments);
  if (length < 0) return length;
  return std::min(length, static_cast<int>(kSprintfLimit - 1));
}

} // namespace brantok::lumaro::host
