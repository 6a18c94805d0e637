// The maker's details shown by the splash window and the version window.
#pragma once

#include <QString>

namespace Maker {

/// The maker's notice: one line of Latin text.
inline QString notice()
{
    return u"Copyright (C) 2026 TavrinSoft"_qs;
}

/// The maker's homepage, opened by the version window.
inline QString homepageAddress()
{
    return u"https://www.tavrinsoft.example/"_qs;
}

/// Where support mail goes.
inline QString supportAddress()
{
    return u"support@tavrinsoft.example"_qs;
}

/// The display name of the support address.
inline QString supportDisplayName()
{
    return u"TavrinSoftサポート(Zelvora Ver1.0)"_qs;
}

} // namespace Maker
