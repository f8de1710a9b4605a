#pragma once

// Our declarations of the part of the Adobe effect plug-in API that the
// plug-in uses, with the published names, numbers and 64-bit Windows layout.
// The structures themselves are declared as the host layer grows; until then
// the entry point only needs their names.

#include <cstdint>

extern "C" {

using A_long = std::int32_t;
using A_u_long = std::uint32_t;
using PF_Err = A_long;
using PF_Cmd = A_long;

struct PF_InData;
struct PF_OutData;
struct PF_ParamDef;
struct PF_LayerDef;

} // extern "C"

static_assert(sizeof(A_long) == 4 && sizeof(PF_Err) == 4 && sizeof(PF_Cmd) == 4);
