#pragma once

namespace brantok::lumaro::core {

class IDialogResponder;

// A program that embeds the plug-in module (the command-line host, module
// tests) cannot reach the module's own responder slot: the module carries its
// own copy of this library. Such a program may instead export a C function
//
//   extern "C" brantok::lumaro::core::IDialogResponder* LumaroEffectDialogResponder();
//
// and the module asks it when no responder is installed. Video hosts export
// no such function, so their users see the real dialogs.
IDialogResponder* FindEmbedderResponder();

} // namespace brantok::lumaro::core
