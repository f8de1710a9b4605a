#pragma once

#include "correction/effects/ControlValue.h"

#include <cstdint>
#include <string>
#include <vector>

namespace brantok::lumaro::gpu {
class IProgram;
class IQueue;
} // namespace brantok::lumaro::gpu

namespace brantok::lumaro::correction::effects {

// One user-adjustable input of an effect. Controls are plain value holders:
// they validate and clamp nothing (keeping values in range is the business of
// the host parameter that shows them), and do no locking; whoever holds the
// effect serialises access. Each kind knows what its kernel argument is and
// how a value carries over to a rebuilt effect; the host layer keeps what it
// shows for each kind in one place of its own.
class IControl {
public:
  virtual ~IControl() = default;

  // The stable id by which an effect finds a control and carries its value
  // over when it rebuilds.
  virtual std::string GetId() const = 0;
  virtual std::string GetLabel() const = 0;

  // The current value, in the alternative of the control's kind.
  virtual ControlValue GetValue() const = 0;

  // Stores `value` and returns true when its alternative is this control's
  // own; otherwise changes nothing and returns false. Never converts.
  virtual bool SetValue(const ControlValue& value) = 0;

  // The OpenCL C types the kernel may declare for this control's argument,
  // the first being the one it is uploaded as.
  virtual std::vector<std::string> GetKernelTypes() const = 0;
  // Uploads the current value as argument `index` of `kernel`; false when the
  // driver refused it.
  virtual bool SetKernelArgument(gpu::IProgram& program, gpu::IQueue& queue, const std::string& kernel,
                                 std::uint32_t index) const = 0;
  // Takes over `old`'s value when `old` is a control of the same kind whose
  // value keeps its meaning here; otherwise keeps the starting value.
  virtual void CarryValueFrom(const IControl& old) = 0;
};

} // namespace brantok::lumaro::correction::effects
