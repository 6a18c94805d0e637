// The fixed phrases offered in the main window: decorations for the title line (List1),
// issue labels (Combo1) and closing lines (Combo2). Built into the program; never changed.
#pragma once

#include <QStringList>

namespace Catalogues {

/// Decorative lines that frame the title line, in display order.
QStringList decorations();
/// Issue labels written into the issue line by the input-support command, in display order.
QStringList issueLabels();
/// Closing lines for the footer, in display order.
QStringList closingLines();

/// The signature field's initial text.
inline constexpr char16_t InitialSignature[] = u"V（＾0＾）毎度っ！　by - ";

/// Whether the line is one of the program's own texts as it stands (a closing line, the initial
/// signature): the author did not write it and cannot mend it, so it is never marked.
bool isOwnText(QStringView line);

} // namespace Catalogues
