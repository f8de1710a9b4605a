#pragma once

#include "core/IDialogResponder.h"

#include <memory>

namespace brantok::lumaro::core {

// The process-wide dialog responder. While one is installed, every dialog
// function hands its call to it instead of showing anything, on every
// platform; without one, Windows shows the real dialogs and other systems
// print message boxes to standard error and cancel file dialogs.

// Installs `responder` (or, given null, removes the current one).
void SetDialogResponder(std::shared_ptr<IDialogResponder> responder);

void ClearDialogResponder();

// The responder installed now, else the embedding program's (see
// EmbedderResponder.h), else null.
std::shared_ptr<IDialogResponder> GetDialogResponder();

} // namespace brantok::lumaro::core
