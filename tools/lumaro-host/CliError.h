#pragma once

#include <stdexcept>
#include <string>

namespace brantok::lumaro::host {

// A failure to report as it is: one line on standard error, exit status 1.
class CliError : public std::runtime_error {
public:
  explicit CliError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace brantok::lumaro::host
