// POSIX only: xdg-open, started in the background. A short-lived shell starts
// it and exits at once, so we can reap the shell straight away and leave no
// zombie behind, without waiting for the browser. The address reaches
// xdg-open as an argument, never as part of the shell's command text.
#include "services/UrlOpener.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>

extern char** environ;

namespace brantok::lumaro::services {

void OpenUrlWithSystem(const std::string& url) {
  const char* const arguments[] = {"sh", "-c",        "xdg-open \"$1\" </dev/null >/dev/null 2>&1 &",
                                   "sh", url.c_str(), nullptr};
  pid_t shell = 0;
  if (posix_spawnp(&shell, "sh", nullptr, nullptr, const_cast<char* const*>(arguments), environ) != 0) return;
  int status = 0;
  while (waitpid(shell, &status, 0) == -1 && errno == EINTR) {
  }
}

} // namespace brantok::lumaro::services
