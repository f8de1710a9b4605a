#include "FuzzTargets.h"

#include <cstdio>
#include <cstdlib>

namespace brantok::lumaro::fuzz {

void Expect(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "Fuzz expectation failed: %s\n", what);
  std::fflush(stderr);
  std::abort();
}

} // namespace brantok::lumaro::fuzz
