#pragma once

namespace brantok::lumaro::host {

// Makes one host service fail on demand. Once armed, the service still
// succeeds `passes` more times, then fails: every time, or only once when
// `once` is set. `trips` counts the failures it caused, so a test that walks a
// fault through a command (passes = 0, 1, 2, ...) knows when it has run past
// the last call.
struct FaultSwitch {
  bool armed = false;
  bool once = false;
  int passes = 0;
  int trips = 0;

  void Arm(int passesFirst = 0, bool onlyOnce = false) {
    armed = true;
    once = onlyOnce;
    passes = passesFirst;
    trips = 0;
  }
  void Disarm() { armed = false; }

  // Called by the service on each use; true means: fail this call.
  bool Trip() {
    if (!armed) return false;
    if (passes > 0) {
      --passes;
      return false;
    }
    ++trips;
    if (once) armed = false;
    return true;
  }
};

} // namespace brantok::lumaro::host
