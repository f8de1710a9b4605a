#pragma once

#include "ae/sdk/EffectApi.h"

#include <optional>
#include <string>

namespace brantok::lumaro::ae {

// The Effect Path parameter's data: 2048 bytes holding the chosen package's
// path as zero-terminated UTF-8, zero-filled after it. The host stores the
// block in projects exactly as it is.

// The stored path, or nothing when the parameter has no value, cannot be
// locked, holds a block shorter than 2048 bytes, or holds no path. Never reads
// past the block.
std::optional<std::string> ReadEffectPath(const PF_InData* inData, PF_OutData* outData, const PF_ParamDef* def);

// Stores `text`; false, with nothing written, when it does not fit (2048
// bytes or more) or the parameter has no value or a shorter block. Marks the
// value changed.
bool WriteEffectPath(const PF_InData* inData, PF_OutData* outData, PF_ParamDef* def, const std::string& text);

// A new zeroed block in `handle`; PF_Err_OUT_OF_MEMORY when the host cannot
// give or lock one.
PF_Err NewEffectPathHandle(const PF_InData* inData, PF_Handle& handle);

// The host's arbitrary-data callbacks for the block, every selector answered
// with a result or an error, never success without one. Flattened data is
// the raw block; flattening into or unflattening from any other size fails.
// The printed form is the path as UTF-8 text with its terminating zero;
// scanning text that is not UTF-8 or too long for the block fails with
// PF_Err_CANNOT_PARSE_KEYFRAME_TEXT. Interpolation holds the left value.
// A block shorter than the plug-in's own (as far as the host can tell its
// size) is refused with PF_Err_BAD_CALLBACK_PARAM.
PF_Err HandleEffectPathCallback(const PF_InData* inData, PF_ArbParamsExtra* extra);

} // namespace brantok::lumaro::ae
