#include "ae/EffectPath.h"

#include "ae/HostHandle.h"
#include "ae/ParameterLayout.h"
#include "ae/ScopedSuite.h"
#include "core/Logger.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string_view>

namespace brantok::lumaro::ae {
namespace {

using core::eLogChannel;
using core::Logger;

constexpr auto BlockSize = ParameterLayout::EffectPathSize;

// Blocks the plug-in did not make (a damaged project, another parameter's
// data) may be shorter than its own; they are never read or written. A host
// that cannot tell a block's size is trusted.
bool IsWholeBlock(A_HandleSize (*sizeOf)(PF_Handle), PF_Handle handle) {
  return !sizeOf || sizeOf(handle) >= BlockSize;
}

// How much of a value the callbacks carry: all of it, or its path block alone
// when it is longer than any value the plug-in writes. Nothing for a value
// shorter than the block, which is never read or written. A host that cannot
// tell sizes is trusted with the block.
std::optional<std::size_t> Extent(const PF_UtilCallbacks& utils, PF_Handle handle) {
  if (!utils.host_get_handle_size) return BlockSize;
  const auto size = utils.host_get_handle_size(handle);
  if (size < BlockSize) return std::nullopt;
  return size > EffectPathValue::MaxSize ? BlockSize : static_cast<std::size_t>(size);
}

bool HasHandleCallbacks(const PF_InData* inData) { return inData && HostHandle::CanMake(inData->utils); }

// A new zeroed value of `size` bytes written by `fill`, into `destination`;
// PF_Err_OUT_OF_MEMORY when the host cannot give or fill one.
PF_Err NewBlock(const PF_InData* inData, PF_Handle* destination, std::size_t size,
                const std::function<bool(void*)>& fill) {
  if (!HasHandleCallbacks(inData)) return PF_Err_INVALID_CALLBACK;
  const auto handle = HostHandle::Make(*inData->utils, size, fill);
  if (!handle) return PF_Err_OUT_OF_MEMORY;
  *destination = handle;
  return PF_Err_NONE;
}

PF_Err CopyHandle(const PF_InData* inData, PF_Handle source, PF_Handle* destination) {
  if (!destination) return PF_Err_BAD_CALLBACK_PARAM;
  std::size_t size = BlockSize;
  if (source && HasHandleCallbacks(inData)) {
    const auto extent = Extent(*inData->utils, source);
    if (!extent) return PF_Err_BAD_CALLBACK_PARAM;
    size = *extent;
  }
  return NewBlock(inData, destination, size, [&](void* to) {
    if (!source) return true;
    const auto& utils = *inData->utils;
    const auto* from = utils.host_lock_handle(source);
    if (!from) return false;
    std::memcpy(to, from, size);
    utils.host_unlock_handle(source);
    return true;
  });
}

PF_Err FlatSize(const PF_InData* inData, PF_Handle handle, A_u_long* size) {
  if (!handle || !size) return PF_Err_BAD_CALLBACK_PARAM;
  const auto extent = Extent(*inData->utils, handle);
  if (!extent) return PF_Err_BAD_CALLBACK_PARAM;
  *size = static_cast<A_u_long>(*extent);
  return PF_Err_NONE;
}

PF_Err Flatten(const PF_InData* inData, PF_Handle handle, A_u_long size, void* buffer) {
  if (!handle || !buffer) return PF_Err_BAD_CALLBACK_PARAM;
  const auto& utils = *inData->utils;
  // FLAT_SIZE asked for the value's size; a buffer of another size is not
  // ours to fill, and the host must not take it for the value.
  const auto extent = Extent(utils, handle);
  if (!extent || size != *extent) return PF_Err_BAD_CALLBACK_PARAM;
  auto* data = utils.host_lock_handle(handle);
  if (!data) return PF_Err_OUT_OF_MEMORY;
  std::memcpy(buffer, data, size);
  utils.host_unlock_handle(handle);
  return PF_Err_NONE;
}

PF_Err Unflatten(const PF_InData* inData, A_u_long size, const void* buffer, PF_Handle* destination) {
  if (!destination) return PF_Err_BAD_CALLBACK_PARAM;
  // Shorter flattened data is not a value this plug-in wrote: a damaged
  // project or another parameter's data. Longer data keeps its trailer, which
  // is checked when read; beyond any trailer's size only the path survives.
  if (size < BlockSize) return PF_Err_INTERNAL_STRUCT_DAMAGED;
  const std::size_t kept = buffer && size <= EffectPathValue::MaxSize ? size : BlockSize;
  return NewBlock(inData, destination, kept, [&](void* data) {
    if (buffer) std::memcpy(data, buffer, kept);
    return true;
  });
}

PF_Err Compare(const PF_InData* inData, PF_Handle a, PF_Handle b, PF_ArbCompareResult* result) {
  if (!result) return PF_Err_BAD_CALLBACK_PARAM;
  if (!a || !b) return PF_Err_NONE;
  const auto& utils = *inData->utils;
  const auto sizeA = Extent(utils, a);
  const auto sizeB = Extent(utils, b);
  if (!sizeA || !sizeB) return PF_Err_BAD_CALLBACK_PARAM;
  const auto* first = static_cast<const char*>(utils.host_lock_handle(a));
  const auto* second = static_cast<const char*>(utils.host_lock_handle(b));
  if (first && second) {
    auto order = std::strncmp(first, second, BlockSize);
    if (order == 0) {
      const std::string_view keptA(first + BlockSize, *sizeA - BlockSize);
      order = keptA.compare(std::string_view(second + BlockSize, *sizeB - BlockSize));
    }
    *result = order < 0 ? PF_ArbCompare_LESS : order > 0 ? PF_ArbCompare_MORE : PF_ArbCompare_EQUAL;
  }
  if (first) utils.host_unlock_handle(a);
  if (second) utils.host_unlock_handle(b);
  return PF_Err_NONE;
}

// Well-formed UTF-8: no stray continuation bytes, overlong forms, surrogates
// or code points above U+10FFFF.
bool IsUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 1;
    unsigned char low = 0x80, high = 0xBF; // range of the second byte
    if (lead < 0x80) {
      ++i;
      continue;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (text.size() - i < length) return false;
    const auto second = static_cast<unsigned char>(text[i + 1]);
    if (second < low || second > high) return false;
    for (std::size_t k = 2; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if (next < 0x80 || next > 0xBF) return false;
    }
    i += length;
  }
  return true;
}

// The stored path as text, for copying keyframes. Only what SCAN takes back
// is printed: a block without its terminating zero, or whose path is not
// UTF-8, is damaged.
PF_Err PrintedText(const PF_InData* inData, PF_Handle handle, std::string& text) {
  if (!handle) return PF_Err_BAD_CALLBACK_PARAM;
  const auto& utils = *inData->utils;
  if (!Extent(utils, handle)) return PF_Err_BAD_CALLBACK_PARAM;
  const auto* data = static_cast<const char*>(utils.host_lock_handle(handle));
  if (!data) return PF_Err_OUT_OF_MEMORY;
  const auto* end = static_cast<const char*>(std::memchr(data, 0, BlockSize));
  if (end) text.assign(data, end);
  utils.host_unlock_handle(handle);
  return end && IsUtf8(text) ? PF_Err_NONE : PF_Err_INTERNAL_STRUCT_DAMAGED;
}

PF_Err PrintSize(const PF_InData* inData, PF_Handle handle, A_u_long* size) {
  if (!size) return PF_Err_BAD_CALLBACK_PARAM;
  std::string text;
  if (const auto error = PrintedText(inData, handle, text)) return error;
  *size = static_cast<A_u_long>(text.size() + 1);
  return PF_Err_NONE;
}

// The path and its terminating zero; a buffer too small for both is left
// untouched rather than given a shortened path, which would name another file.
PF_Err Print(const PF_InData* inData, PF_Handle handle, A_u_long size, A_char* buffer) {
  if (!buffer) return PF_Err_BAD_CALLBACK_PARAM;
  std::string text;
  if (const auto error = PrintedText(inData, handle, text)) return error;
  if (size < text.size() + 1) return PF_Err_BAD_CALLBACK_PARAM;
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return PF_Err_NONE;
}

// A new block from text: the bytes up to the first zero or `size`, whichever
// comes first. Never reads more than one block's worth of the host's text.
PF_Err Scan(const PF_InData* inData, const A_char* buffer, A_u_long size, PF_Handle* destination) {
  if (!destination || (!buffer && size > 0)) return PF_Err_BAD_CALLBACK_PARAM;
  const std::size_t limit = std::min<std::size_t>(size, BlockSize);
  const auto* end = limit ? static_cast<const char*>(std::memchr(buffer, 0, limit)) : nullptr;
  const std::string_view text(buffer, end ? static_cast<std::size_t>(end - buffer) : limit);
  if (text.size() >= BlockSize || !IsUtf8(text)) return PF_Err_CANNOT_PARSE_KEYFRAME_TEXT;
  return NewBlock(inData, destination, BlockSize, [&](void* data) {
    if (!text.empty()) std::memcpy(data, text.data(), text.size());
    return true;
  });
}

} // namespace

std::optional<std::string> ReadEffectPath(const PF_InData* inData, PF_OutData* outData, const PF_ParamDef* def) {
  if (!def || def->param_type != PF_Param_ARBITRARY_DATA) return std::nullopt;
  HandleSuite handles(inData, outData, kPFHandleSuite, kPFHandleSuiteVersion1);
  const auto handle = def->u.arb_d.value;
  if (!handle || !handles->host_lock_handle || !IsWholeBlock(handles->host_get_handle_size, handle)) {
    return std::nullopt;
  }
  const auto* data = static_cast<const char*>(handles->host_lock_handle(handle));
  if (!data) return std::nullopt;
  std::optional<std::string> path;
  if (data[0] != 0) {
    const auto* end = static_cast<const char*>(std::memchr(data, 0, BlockSize));
    path.emplace(data, end ? end : data + BlockSize);
  }
  if (handles->host_unlock_handle) handles->host_unlock_handle(handle);
  return path;
}

std::optional<KeptPackage> ReadKeptPackage(const PF_InData* inData, PF_OutData* outData, const PF_ParamDef* def) {
  if (!def || def->param_type != PF_Param_ARBITRARY_DATA) return std::nullopt;
  HandleSuite handles(inData, outData, kPFHandleSuite, kPFHandleSuiteVersion1);
  const auto handle = def->u.arb_d.value;
  // Without the value's size no trailer can be found safely.
  if (!handle || !handles->host_lock_handle || !handles->host_get_handle_size) return std::nullopt;
  const auto size = handles->host_get_handle_size(handle);
  if (size <= BlockSize) return std::nullopt;
  std::optional<KeptPackage> kept;
  std::string problem = "longer than any kept package";
  if (size <= EffectPathValue::MaxSize) {
    const auto* data = static_cast<const char*>(handles->host_lock_handle(handle));
    problem = "the host could not lock it";
    if (data) {
      kept = EffectPathValue::ReadTrailer(std::string_view(data + BlockSize, size - BlockSize), problem);
      if (handles->host_unlock_handle) handles->host_unlock_handle(handle);
    }
  }
  if (!kept) {
    Logger::Log("Package copy kept in the project ignored, only its path is used: " + problem, eLogChannel::Error);
  }
  return kept;
}

bool WriteEffectPath(const PF_InData* inData, PF_OutData* outData, PF_ParamDef* def, const std::string& text,
                     const KeptPackage* kept) {
  if (!def || def->param_type != PF_Param_ARBITRARY_DATA || text.size() >= BlockSize) return false;
  auto handle = def->u.arb_d.value;
  if (!handle) return false;
  std::string trailer;
  const bool tooLarge = kept && kept->bytes && kept->bytes->size() > EffectPathValue::MaxPackageSize;
  if (kept && !tooLarge) {
    auto made = EffectPathValue::MakeTrailer(*kept);
    if (!made) return false;
    trailer = std::move(*made);
  }
  HandleSuite handles(inData, outData, kPFHandleSuite, kPFHandleSuiteVersion1);
  if (!handles->host_lock_handle || !IsWholeBlock(handles->host_get_handle_size, handle)) return false;
  // The value takes exactly the new size, so no older trailer outlives its
  // path. A host that cannot tell sizes holds the bare block.
  const auto size = BlockSize + trailer.size();
  const auto held = handles->host_get_handle_size ? handles->host_get_handle_size(handle) : BlockSize;
  if (held != size) {
    if (!handles->host_resize_handle || handles->host_resize_handle(size, &handle) != PF_Err_NONE || !handle) {
      return false;
    }
    def->u.arb_d.value = handle;
  }
  auto* data = static_cast<char*>(handles->host_lock_handle(handle));
  if (!data) return false;
  std::memset(data, 0, BlockSize);
  std::memcpy(data, text.data(), text.size());
  if (!trailer.empty()) std::memcpy(data + BlockSize, trailer.data(), trailer.size());
  if (handles->host_unlock_handle) handles->host_unlock_handle(handle);
  def->uu.change_flags = PF_ChangeFlag_CHANGED_VALUE;
  if (tooLarge) {
    Logger::Log("Package not kept in the project: " + std::to_string(kept->bytes->size()) +
                    " bytes, larger than 1 MiB; the project keeps only its path",
                eLogChannel::Info);
  }
  return true;
}

PF_Err NewEffectPathHandle(const PF_InData* inData, PF_Handle& handle) {
  return NewBlock(inData, &handle, BlockSize, nullptr);
}

PF_Err HandleEffectPathCallback(const PF_InData* inData, PF_ArbParamsExtra* extra) {
  if (!extra) return PF_Err_BAD_CALLBACK_PARAM;
  if (!HasHandleCallbacks(inData)) return PF_Err_INVALID_CALLBACK;
  auto& u = extra->u;
  switch (extra->which_function) {
  case PF_Arbitrary_NEW_FUNC:
    if (!u.new_func_params.arbPH) return PF_Err_BAD_CALLBACK_PARAM;
    return NewEffectPathHandle(inData, *u.new_func_params.arbPH);
  case PF_Arbitrary_DISPOSE_FUNC:
    if (u.dispose_func_params.arbH) inData->utils->host_dispose_handle(u.dispose_func_params.arbH);
    return PF_Err_NONE;
  case PF_Arbitrary_COPY_FUNC:
    return CopyHandle(inData, u.copy_func_params.src_arbH, u.copy_func_params.dst_arbPH);
  case PF_Arbitrary_FLAT_SIZE_FUNC:
    return FlatSize(inData, u.flat_size_func_params.arbH, u.flat_size_func_params.flat_data_sizePLu);
  case PF_Arbitrary_FLATTEN_FUNC:
    return Flatten(inData, u.flatten_func_params.arbH, u.flatten_func_params.buf_sizeLu,
                   u.flatten_func_params.flat_dataPV);
  case PF_Arbitrary_UNFLATTEN_FUNC:
    return Unflatten(inData, u.unflatten_func_params.buf_sizeLu, u.unflatten_func_params.flat_dataPV,
                     u.unflatten_func_params.arbPH);
  case PF_Arbitrary_INTERP_FUNC:
    // A path does not blend: the value holds until the next keyframe.
    return CopyHandle(inData,
                      u.interp_func_params.tF < 1.0 ? u.interp_func_params.left_arbH : u.interp_func_params.right_arbH,
                      u.interp_func_params.interpPH);
  case PF_Arbitrary_COMPARE_FUNC:
    return Compare(inData, u.compare_func_params.a_arbH, u.compare_func_params.b_arbH, u.compare_func_params.compareP);
  case PF_Arbitrary_PRINT_SIZE_FUNC:
    return PrintSize(inData, u.print_size_func_params.arbH, u.print_size_func_params.print_sizePLu);
  case PF_Arbitrary_PRINT_FUNC:
    // The abbreviated form is the whole path too: it is what SCAN reads back.
    return Print(inData, u.print_func_params.arbH, u.print_func_params.print_sizeLu,
                 u.print_func_params.print_bufferPC);
  case PF_Arbitrary_SCAN_FUNC:
    return Scan(inData, u.scan_func_params.bufPC, u.scan_func_params.bytes_to_scanLu, u.scan_func_params.arbPH);
  default:
    // A selector of a later host: answering success would leave it waiting
    // for a result that never comes.
    return PF_Err_BAD_CALLBACK_PARAM;
  }
}

} // namespace brantok::lumaro::ae
