// The message builder's module: the code that needs GMime (and through it GIO, GPGME...) lives in
// a shared library of its own, loaded on the first send, so that none of it is loaded before the
// windows are on the screen. Its one entry point, shared by the module and the one who loads it.
#pragma once

#include "mimemessage.h"

namespace MimeModule {

/// Builds the message for fields into message. Returns 0, or the mail handler's error number;
/// throws nothing.
using BuildFunction = qint32 (*)(const MimeMessage::Fields *fields, QByteArray *message);

/// The name under which the module exports its BuildFunction.
inline constexpr char BuildSymbol[] = "zelvora_mime_build";

} // namespace MimeModule
