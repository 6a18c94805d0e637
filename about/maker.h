// The maker's details shown by the splash window and the version window.
#pragma once

#include "zelvoraversion.h"

#include <QString>

namespace Maker {

/// The maker's notice: one line of Latin text.
inline QString notice()
{
    return QStringLiteral("Copyright (C) 2026 TavrinSoft");
}

/// The maker's homepage, opened by the version window.
inline QString homepageAddress()
{
    return QStringLiteral("https://www.tavrinsoft.example/");
}

/// Where support mail goes.
inline QString supportAddress()
{
    return QStringLiteral("support@tavrinsoft.example");
}

/// The display name of the support address.
inline QString supportDisplayName()
{
    return QStringLiteral("TavrinSoftサポート(Zelvora Ver" ZELVORA_VERSION ")");
}

} // namespace Maker
