// Joins the main window's fields into the plain-text mail-magazine document.
#pragma once

#include <QString>

/// The texts the document is made of, as the sender left them in the main window.
struct DocumentFields
{
    QString startDecoration; // Text1
    QString subtitle; // Text2
    QString endDecoration; // Text3
    QString homepageLine; // Text4
    QString emailLine; // Text5
    QString issueLine; // Text6
    QString signature; // Text11
    QString body; // Text7
    QString closingLine; // Combo2
};

namespace DocumentAssembly {

/// The line between the signature and the body: 42 hyphen-minus characters.
QString separator();

/// The whole document: the title line (start decoration, subtitle and end decoration joined
/// with nothing between them), then the homepage, e-mail and issue lines, the signature, the
/// separator, the body and the closing line, each on its own line after CR LF. Field texts are
/// copied unchanged and the document ends with the closing line's last character.
QString assemble(const DocumentFields &fields);

} // namespace DocumentAssembly
