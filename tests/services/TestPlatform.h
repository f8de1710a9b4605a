#pragma once

namespace brantok::lumaro::test {

// Whether this Windows program runs under Wine rather than Windows. Wine's
// WinINet keeps the receive timeout of every request at 0 (wait forever) and
// only notes a timeout set on the session handle, so tests of a server that
// goes quiet cannot finish there.
bool RunningUnderWine();

} // namespace brantok::lumaro::test
