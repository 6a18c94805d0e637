// What a marker adds to its text box's context menu, and the edits behind it: replacing marked
// characters by their plain forms (compose/plainforms.h), choosing the width guide and wrapping
// lines at it (compose/linewrap.h). Each edit is one undo step, so that one Ctrl+Z takes it back.
#pragma once

#include "textmarks.h"

class QMenu;
class QTextCursor;
class QTextDocument;
class TextBox;
class TextMarker;

namespace TextMarkerMenu {

/// Adds to the box's menu: replacing the marked character at the document position at (-1:
/// none there) and all of its kind, the guide widths and wrapping the selected lines. The
/// actions call the marker.
void addEntries(QMenu *menu, TextMarker *marker, const TextBox *box, int at);

/// Replaces the marked character at a document position by its plain form, as one undo step.
/// False when it has none.
bool replaceAt(QTextDocument *document, int position);
/// Replaces every character of the kind that has a plain form, as one undo step; returns how
/// many.
int replaceAll(QTextDocument *document, TextMarks::Kind kind, int guide);
/// Wraps the lines the selection touches (the cursor's line without one) at the guide, as one
/// undo step.
void wrapLines(QTextDocument *document, const QTextCursor &selection, int guide);

} // namespace TextMarkerMenu
