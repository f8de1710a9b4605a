#include "ae/EffectPath.h"

#include "ae/ParameterLayout.h"
#include "ae/ScopedSuite.h"

#include <cstring>

namespace brantok::lumaro::ae {
namespace {

constexpr auto BlockSize = ParameterLayout::EffectPathSize;

// Blocks the plug-in did not make (a damaged project, another parameter's
// data) may be shorter than its own; they are never read or written. A host
// that cannot tell a block's size is trusted.
bool IsWholeBlock(A_HandleSize (*sizeOf)(PF_Handle), PF_Handle handle) {
  return !sizeOf || sizeOf(handle) >= BlockSize;
}

bool HasHandleCallbacks(const PF_InData* inData) {
  const auto* utils = inData ? inData->utils : nullptr;
  return utils && utils->host_new_handle && utils->host_lock_handle && utils->host_unlock_handle &&
         utils->host_dispose_handle;
}

PF_Err CopyHandle(const PF_InData* inData, PF_Handle source, PF_Handle* destination) {
  if (!destination) return PF_Err_BAD_CALLBACK_PARAM;
  if (source && HasHandleCallbacks(inData) && !IsWholeBlock(inData->utils->host_get_handle_size, source)) {
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  PF_Handle copy = nullptr;
  if (const auto error = NewEffectPathHandle(inData, copy)) return error;
  if (source) {
    const auto& utils = *inData->utils;
    auto* to = utils.host_lock_handle(copy);
    auto* from = utils.host_lock_handle(source);
    if (to && from) std::memcpy(to, from, BlockSize);
    if (from) utils.host_unlock_handle(source);
    if (to) utils.host_unlock_handle(copy);
    if (!to || !from) {
      utils.host_dispose_handle(copy);
      return PF_Err_OUT_OF_MEMORY;
    }
  }
  *destination = copy;
  return PF_Err_NONE;
}

PF_Err Flatten(const PF_InData* inData, PF_Handle handle, A_u_long size, void* buffer) {
  // Another size is not ours to fill; the host keeps what it has.
  if (size != BlockSize) return PF_Err_NONE;
  if (!handle || !buffer) return PF_Err_BAD_CALLBACK_PARAM;
  const auto& utils = *inData->utils;
  if (!IsWholeBlock(utils.host_get_handle_size, handle)) return PF_Err_BAD_CALLBACK_PARAM;
  auto* data = utils.host_lock_handle(handle);
  if (!data) return PF_Err_OUT_OF_MEMORY;
  std::memcpy(buffer, data, BlockSize);
  utils.host_unlock_handle(handle);
  return PF_Err_NONE;
}

PF_Err Unflatten(const PF_InData* inData, A_u_long size, const void* buffer, PF_Handle* destination) {
  if (size != BlockSize) return PF_Err_NONE;
  if (!destination) return PF_Err_BAD_CALLBACK_PARAM;
  PF_Handle handle = nullptr;
  if (const auto error = NewEffectPathHandle(inData, handle)) return error;
  if (buffer) {
    const auto& utils = *inData->utils;
    auto* data = utils.host_lock_handle(handle);
    if (!data) {
      utils.host_dispose_handle(handle);
      return PF_Err_OUT_OF_MEMORY;
    }
    std::memcpy(data, buffer, BlockSize);
    utils.host_unlock_handle(handle);
  }
  *destination = handle;
  return PF_Err_NONE;
}

PF_Err Compare(const PF_InData* inData, PF_Handle a, PF_Handle b, PF_ArbCompareResult* result) {
  if (!result) return PF_Err_BAD_CALLBACK_PARAM;
  if (!a || !b) return PF_Err_NONE;
  const auto& utils = *inData->utils;
  if (!IsWholeBlock(utils.host_get_handle_size, a) || !IsWholeBlock(utils.host_get_handle_size, b)) {
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  const auto* first = static_cast<const char*>(utils.host_lock_handle(a));
  const auto* second = static_cast<const char*>(utils.host_lock_handle(b));
  if (first && second) {
    const auto order = std::strncmp(first, second, BlockSize);
    *result = order < 0 ? PF_ArbCompare_LESS : order > 0 ? PF_ArbCompare_MORE : PF_ArbCompare_EQUAL;
  }
  if (first) utils.host_unlock_handle(a);
  if (second) utils.host_unlock_handle(b);
  return PF_Err_NONE;
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

bool WriteEffectPath(const PF_InData* inData, PF_OutData* outData, PF_ParamDef* def, const std::string& text) {
  if (!def || def->param_type != PF_Param_ARBITRARY_DATA || text.size() >= BlockSize) return false;
  const auto handle = def->u.arb_d.value;
  if (!handle) return false;
  HandleSuite handles(inData, outData, kPFHandleSuite, kPFHandleSuiteVersion1);
  if (!handles->host_lock_handle || !IsWholeBlock(handles->host_get_handle_size, handle)) return false;
  auto* data = static_cast<char*>(handles->host_lock_handle(handle));
  if (!data) return false;
  std::memset(data, 0, BlockSize);
  std::memcpy(data, text.data(), text.size());
  if (handles->host_unlock_handle) handles->host_unlock_handle(handle);
  def->uu.change_flags = PF_ChangeFlag_CHANGED_VALUE;
  return true;
}

PF_Err NewEffectPathHandle(const PF_InData* inData, PF_Handle& handle) {
  if (!HasHandleCallbacks(inData)) return PF_Err_INVALID_CALLBACK;
  const auto& utils = *inData->utils;
  auto created = utils.host_new_handle(BlockSize);
  if (!created) return PF_Err_OUT_OF_MEMORY;
  auto* data = utils.host_lock_handle(created);
  if (!data) {
    utils.host_dispose_handle(created);
    return PF_Err_OUT_OF_MEMORY;
  }
  std::memset(data, 0, BlockSize);
  utils.host_unlock_handle(created);
  handle = created;
  return PF_Err_NONE;
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
    if (!u.flat_size_func_params.flat_data_sizePLu) return PF_Err_BAD_CALLBACK_PARAM;
    *u.flat_size_func_params.flat_data_sizePLu = static_cast<A_u_long>(BlockSize);
    return PF_Err_NONE;
  case PF_Arbitrary_FLATTEN_FUNC:
    return Flatten(inData, u.flatten_func_params.arbH, u.flatten_func_params.buf_sizeLu,
                   u.flatten_func_params.flat_dataPV);
  case PF_Arbitrary_UNFLATTEN_FUNC:
    return Unflatten(inData, u.unflatten_func_params.buf_sizeLu, u.unflatten_func_params.flat_dataPV,
                     u.unflatten_func_params.arbPH);
  case PF_Arbitrary_COMPARE_FUNC:
    return Compare(inData, u.compare_func_params.a_arbH, u.compare_func_params.b_arbH, u.compare_func_params.compareP);
  default:
    return PF_Err_NONE;
  }
}

} // namespace brantok::lumaro::ae
