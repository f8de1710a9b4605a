#pragma once

#include <exception>
#include <string>

namespace brantok::lumaro::gpu {

// Thrown when a program does not build. Carries the compiler's build log for
// the device unchanged, so callers can show the user exactly what the
// compiler said.
class ProgramBuildFailedException : public std::exception {
public:
  explicit ProgramBuildFailedException(std::string buildLog);

  const char* what() const noexcept override;

private:
  std::string buildLog_;
};

} // namespace brantok::lumaro::gpu
