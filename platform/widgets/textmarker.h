// Marks in a text box for what readers may not see as written (the kinds of compose/textmarks.h),
// the width guide drawn as a thin vertical line, tooltips that name a marked character, and the
// box's context menu with the plain replacements, the guide widths and wrapping.
//
// A marker is a child of its box. The marks are the box's extra selections, made for the lines on
// the screen only: the formats of a line's layout, where Qt keeps the underline and segments of
// what an input method is composing, stay the input method's. Columns are counted by East Asian
// Width, as the marks count them: the guide stands beside each line where its first character past
// the guide starts, the tint's start, so that it tells the truth in a proportional font as in a
// fixed one.
//
// The menu's entries and its edits are in textmarkermenu.h, the tooltips' texts in
// markdescriptions.h, the guide's drawing in markoverlay.h.
#pragma once

#include "textmarks.h"

#include <QObject>
#include <QPoint>

class MarkOverlay;
class QMenu;
class QTextBlock;
class TextBox;

class TextMarker final : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int guideWidth READ guideWidth WRITE setGuideWidth NOTIFY guideWidthChanged)
public:
    /// The guide widths the context menu offers.
    static constexpr int GuideChoices[] = { 40, 60, 70, 76 };

    /// Marks the box from now on; the marker lives as the box's child.
    static TextMarker *attach(TextBox *box);
    /// The marker attached to the box, or null.
    static TextMarker *of(const TextBox *box);

    /// The width guide in columns.
    int guideWidth() const { return m_guide; }
    /// Moves the guide and marks again what lies past it.
    void setGuideWidth(int columns);
    /// Where the guide stands beside the block's line, in the box's viewport coordinates: at the
    /// start of the first character that ends past the guide, or past the line's end by the
    /// columns still free, at half the advance of an ideographic space each. For no block, where
    /// it stands beside an empty line.
    qreal guideX(const QTextBlock &block) const;

    /// The box's context menu for a click at pos (viewport coordinates): the toolkit's entries,
    /// then replacing the marked character there and all of its kind, the guide widths and
    /// wrapping the selected lines. The caller owns the menu.
    QMenu *createContextMenu(QPoint pos);
    /// The tooltip of the character at a document position: its code point and name, why
    /// readers may not see it and its plain form. Empty where nothing is marked. Screen readers
    /// find it in the box's description while the cursor stands before the character.
    QString toolTipAt(int position) const;
    /// Replaces the marked character at a document position by its plain form, as one undo
    /// step. False when it has none.
    bool replaceAt(int position);
    /// Replaces every character of the kind that has a plain form, as one undo step; returns
    /// how many.
    int replaceAll(TextMarks::Kind kind);
    /// Wraps the lines the selection touches (the cursor's line without one) at the guide, as
    /// one undo step.
    void wrapSelection();
    /// Puts the cursor at the place and the focus in the box.
    void showPlace(const TextMarks::Place &place);

Q_SIGNALS:
    void guideWidthChanged(int columns);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit TextMarker(TextBox *box);
    /// Marks the lines on the screen: the box's extra selections hold their marks alone.
    void markVisible();
    /// Marks them once the events already posted are handled.
    void markSoon();
    /// The document position of the character drawn at pos, or -1.
    int characterAt(QPoint pos) const;
    /// Gives screen readers the tooltip of the character after the cursor.
    void describeCursor();
    /// Repaints the overlay beside a block whose guide may have moved.
    void updateGuide(const QTextBlock &block);

    TextBox *m_box;
    MarkOverlay *m_overlay;
    int m_guide = TextMarks::DefaultGuide;
    bool m_markingSoon = false;
    int m_firstMarked = -1; // the number of the first line on the screen when it was marked
};
