#pragma once

#include "core/Logger.h"

#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace brantok::lumaro::test {

// Replaces the logger's handlers with one that records every message, for as
// long as it lives.
class LogCapture {
public:
  LogCapture();
  ~LogCapture();
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  std::vector<std::pair<core::eLogChannel, std::string>> Entries() const;
  std::vector<std::string> Lines() const;
  // How many messages contain `text`.
  int Count(const std::string& text) const;

private:
  struct Shared {
    mutable std::mutex mutex;
    std::vector<std::pair<core::eLogChannel, std::string>> entries;
  };
  std::shared_ptr<Shared> shared_;
};

} // namespace brantok::lumaro::test
