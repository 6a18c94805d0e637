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

} // namespace Catalogues
