#pragma once

#include "ae/EffectPathValue.h"
#include "ae/sdk/EffectApi.h"

#include <optional>
#include <string>

namespace brantok::lumaro::ae {

// The Effect Path parameter's data: a 2048-byte block holding the chosen
// package's path as zero-terminated UTF-8, zero-filled after it, optionally
// followed by a trailer with a copy of the package and the clip's slot map
// (EffectPathValue). The host stores the value in projects exactly as it is.

// The stored path, or nothing when the parameter has no value, cannot be
// locked, holds a block shorter than 2048 bytes, or holds no path. Never reads
// past the block; a trailer takes no part.
std::optional<std::string> ReadEffectPath(const PF_InData* inData, PF_OutData* outData, const PF_ParamDef* def);

// The package kept after the path, or nothing when there is none (a bare
// block, a host that cannot tell the value's size) or its trailer is damaged;
// a damaged trailer is logged on channel Error, once per call.
std::optional<KeptPackage> ReadKeptPackage(const PF_InData* inData, PF_OutData* outData, const PF_ParamDef* def);

// Stores `text`, followed by `kept` when given; marks the value changed.
// A kept package larger than EffectPathValue::MaxPackageSize is left out (the
// bare block is written) and logged on channel Info. False, with the stored
// path unchanged, when the text does not fit (2048 bytes or more), `kept`
// cannot be written (see EffectPathValue::MakeTrailer), the parameter has no
// value or a shorter block, or the host cannot resize or lock it.
bool WriteEffectPath(const PF_InData* inData, PF_OutData* outData, PF_ParamDef* def, const std::string& text,
                     const KeptPackage* kept = nullptr);

// A new zeroed block in `handle`; PF_Err_OUT_OF_MEMORY when the host cannot
// give or lock one.
PF_Err NewEffectPathHandle(const PF_InData* inData, PF_Handle& handle);

// The host's arbitrary-data callbacks for the value, every selector answered
// with a result or an error, never success without one. COPY, INTERP,
// FLAT_SIZE, FLATTEN and UNFLATTEN carry the whole value, trailer and all;
// flattening into a buffer of another size fails, and unflattening takes any
// size from the block's up (a trailer is checked only when read). A value
// longer than EffectPathValue::MaxSize is damaged beyond its path: it is
// carried as its path block alone. COMPARE orders by path, then by the
// trailer's bytes, so a new copy of the same package path is a change.
// The printed form is the path as UTF-8 text with its terminating zero;
// scanning text that is not UTF-8 or too long for the block fails with
// PF_Err_CANNOT_PARSE_KEYFRAME_TEXT, and scanned text gives a bare block.
// Interpolation holds the left value. A value shorter than the block (as far
// as the host can tell its size) is refused with PF_Err_BAD_CALLBACK_PARAM.
PF_Err HandleEffectPathCallback(const PF_InData* inData, PF_ArbParamsExtra* extra);

} // namespace brantok::lumaro::ae
