// The display font of the document box as the font dialog, the window and the kept session
// exchange it: one value, converted to and from the toolkit's font in one place of the widgets.
#pragma once

#include <QString>
#include <QStringList>

struct FontChoice
{
    /// The face first, then the faces that stand in for characters it lacks.
    QStringList families;
    double size = 9.0; // points
    bool bold = false;
    bool italic = false;
    bool strikeOut = false;
    bool underline = false;
    quint32 colour = 0; // the text colour, 0x00BBGGRR: red in the low byte

    /// The face, as the font dialog names it.
    QString name() const { return families.value(0); }

    friend bool operator==(const FontChoice &, const FontChoice &) = default;
};
