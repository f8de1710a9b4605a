#pragma once

#include <string>

namespace brantok::lumaro::core {

// Whether a debugger is attached to this process, asked anew on every call.
bool IsDebuggerAttached();

// Hands text to the attached debugger (on systems without a debugger output
// channel: standard error).
void WriteDebugOutput(const std::string& text);

} // namespace brantok::lumaro::core
