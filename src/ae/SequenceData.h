#pragma once

#include "core/Version.h"
#include "correction/Uuid.h"

#include <cstddef>

namespace brantok::lumaro::ae {

// The per-use record that hosts keep in their projects, byte for byte: the
// version of the plug-in that created it, then the sequence id: all zero
// until an effect is loaded for the sequence, and with its version bits all
// set (never a random RFC 4122 id, whose version bits say 4) once the user
// turned the effect off, so that no frame loads it again. Turning off keeps
// the other bits, so the effect the clip had stays findable (Key) for when
// the user chooses it again; earlier versions wrote all 0xFF, which reads as
// turned off too. It holds no pointer, so it needs no flattening.
struct SequenceData {
  core::Version version;
  correction::Uuid id;

  // The id names a loaded (or loadable) effect: neither zero nor turned off.
  bool HasId() const;
  bool IsTurnedOff() const;
  void TurnOff();
  // The id the sequence's effect is kept under, turned off or not.
  correction::Uuid Key() const;
};
static_assert(sizeof(SequenceData) == 32, "SequenceData is stored in project files");
static_assert(offsetof(SequenceData, id) == 16, "SequenceData is stored in project files");

} // namespace brantok::lumaro::ae
