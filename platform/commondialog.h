// The common font dialog, through the values it exchanges with the program. The dialog keeps
// the values it last returned; a cancelled dialog reports the last accepted ones.
#pragma once

#include <QString>
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
    virtual void setFlags(qint32 flags) = 0;
    virtual qint32 flags() const = 0;
    /// Shows the font dialog modally and returns when the user has closed it.
    virtual void showFont() = 0;
    /// Face name.
    virtual QString fontName() const = 0;
    /// Size in points.
    virtual float fontSize() const = 0;
    virtual bool fontBold() const = 0;
    virtual bool fontItalic() const = 0;
    virtual bool fontStrikethru() const = 0;
    virtual bool fontUnderline() const = 0;
    /// Text colour as 0x00BBGGRR: red in the low byte.
    virtual quint32 color() const = 0;
};
