#pragma once

#include <string>

namespace brantok::lumaro::correction::effects::library {

// One item of the effect library.
class IEntry {
public:
  virtual ~IEntry() = default;
  virtual std::string GetName() const = 0;
};

} // namespace brantok::lumaro::correction::effects::library
