// Windows only: the debugger's output channel.
#include "core/DebugOutput.h"

#include "core/WindowsSupport.h"

namespace brantok::lumaro::core {

bool IsDebuggerAttached() { return IsDebuggerPresent() != FALSE; }

void WriteDebugOutput(const std::string& text) { OutputDebugStringA(text.c_str()); }

} // namespace brantok::lumaro::core
