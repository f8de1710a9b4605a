#pragma once

#include <string>

namespace brantok::lumaro::ae {

// Texts whose pointers the host keeps after a call returns (popup choices,
// button labels). Equal texts share one copy; every pointer stays valid until
// ClearKeptStrings, which runs at GLOBAL_SETDOWN and at module unload.
const char* KeepString(const std::string& text);
void ClearKeptStrings();

} // namespace brantok::lumaro::ae
