#pragma once

#include "services/Downloader.h"

namespace brantok::lumaro::services {

// Asks the product's web host for the latest version, compares it with this
// plug-in's version and tells the user the outcome in a message box; when a
// newer version exists the user may open its download page. Runs on the
// caller's thread for as long as the download takes (at most a few seconds of
// waiting per step), keeps nothing between calls and never throws.
void CheckForUpdates();

// The same check against another client and timeout; only tests use it.
void CheckForUpdates(const Downloader& downloader, unsigned timeoutSeconds);

} // namespace brantok::lumaro::services
