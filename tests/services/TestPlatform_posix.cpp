// POSIX only.
#include "TestPlatform.h"

namespace brantok::lumaro::test {

bool RunningUnderWine() { return false; }

} // namespace brantok::lumaro::test
