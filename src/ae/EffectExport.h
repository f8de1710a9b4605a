#pragma once

// Marks the one function that the module exports to the host.
#if defined(_WIN32)
#define LUMARO_EFFECT_EXPORT extern "C" __declspec(dllexport)
#else
#define LUMARO_EFFECT_EXPORT extern "C" __attribute__((visibility("default")))
#endif
