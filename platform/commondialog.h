// The common font dialog, through the values it exchanges with the program. The dialog keeps
// the values it last returned; a cancelled dialog reports the last accepted ones.
#pragma once

#include "fontchoice.h"

#include <QtGlobal>

class CommonDialog
{
public:
    /// Flag bits of the font dialog.
    enum Flags : qint32 { ScreenFonts = 1, PrinterFonts = 2, Effects = 256 };
    /// The font sizes the dialog offers and a text box takes, in points.
    static constexpr float MinimumFontSize = 1.0f;
    static constexpr float MaximumFontSize = 1638.0f;

    virtual ~CommonDialog() = default;
    /// Sets the Flags bits the next showFont() uses.
    virtual void setFlags(qint32 flags) = 0;
    /// The Flags bits last set.
    virtual qint32 flags() const = 0;
    /// Shows the font dialog modally and returns when the user has closed it.
    virtual void showFont() = 0;
    /// The font last accepted in the dialog, or last set.
    virtual FontChoice font() const = 0;
    /// The font the dialog shows next time and reports until the user accepts another.
    virtual void setFont(const FontChoice &font) = 0;
};
