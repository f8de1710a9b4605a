#pragma once

#include "TestEnvironment.h"

#include <cstdlib>
#include <optional>
#include <string>

namespace brantok::lumaro::test {

// Restores an environment variable, or its absence, when it goes.
class SavedVariable {
public:
  explicit SavedVariable(std::string name) : name_(std::move(name)) {
    if (const char* value = std::getenv(name_.c_str())) value_ = value;
  }
  ~SavedVariable() { SetEnvironment(name_, value_); }
  SavedVariable(const SavedVariable&) = delete;
  SavedVariable& operator=(const SavedVariable&) = delete;

private:
  std::string name_;
  std::optional<std::string> value_;
};

} // namespace brantok::lumaro::test
