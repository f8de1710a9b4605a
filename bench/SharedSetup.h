#pragma once

#include <memory>

namespace brantok::lumaro::bench {

// The one set-up a benchmark program's cases share, made on first use.
// Release ends it before the module is unloaded and the host library's
// statics go, which process exit would do in the wrong order. `T` befriends
// this class and keeps its constructor private.
template <typename T>
class SharedSetup {
public:
  static T& Instance() {
    if (!instance_) instance_.reset(new T);
    return *instance_;
  }
  static void Release() { instance_.reset(); }

private:
  static inline std::unique_ptr<T> instance_;
};

} // namespace brantok::lumaro::bench
