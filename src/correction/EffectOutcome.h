#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brantok::lumaro::correction {

// The one line the plug-in logs each time it reads a package: the effect is
// ready to render, or it cannot run and why, in the words its message box
// uses. Tools that judge a package (lumaro-host) read the verdict back with
// FindLast, so the words are written and read in this one place, and a tool
// that finds no such line knows nothing rather than "no failure".
class EffectOutcome final {
public:
  static EffectOutcome Ready(std::string name);
  static EffectOutcome CannotRun(std::string name, std::string reason);

  bool IsReady() const { return ready_; }
  const std::string& GetName() const { return name_; }
  // Why the effect cannot run; empty when it is ready.
  const std::string& GetReason() const { return reason_; }

  std::string Line() const;
  // Ready on the Info channel, the rest on Error.
  void Log() const;

  // The last outcome line in `log`, if any.
  static std::optional<EffectOutcome> FindLast(const std::string& log);

  // How the line said once per session begins when the machine has no OpenCL
  // device; no package gets an outcome of its own then.
  static constexpr std::string_view NoDevice = "No OpenCL device was found";

private:
  EffectOutcome(bool ready, std::string name, std::string reason);

  bool ready_ = false;
  std::string name_;
  std::string reason_;
};

} // namespace brantok::lumaro::correction
