#pragma once

namespace brantok::lumaro::ae {

// The two steps that bracket the module's life in the host process; called
// from the platform's load and unload notifications.

// Installs the log handlers: the default handler, then the dated log file
// "LumaroEffect_<date>.log".
void OnProcessAttach();

// Removes every log handler, which closes the log file.
void OnProcessDetach();

} // namespace brantok::lumaro::ae
