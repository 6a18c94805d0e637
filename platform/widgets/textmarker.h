// Marks in a text box for what readers may not see as written (the kinds of compose/textmarks.h),
// the width guide drawn as a thin vertical line, tooltips that name a marked character, and the
// box's context menu with the plain replacements, the guide widths and wrapping.
//
// A marker is a child of its box. The guide is placed by the box's font: one column is half the
// advance of the ideographic space U+3000, so a line of 35 fullwidth characters ends at the 70
// column guide in any font; halfwidth letters of a proportional font end before it.
//
// The menu's entries and its edits are in textmarkermenu.h, the tooltips' texts in
// markdescriptions.h.
#pragma once

#include "textmarks.h"

#include <QObject>
#include <QPoint>

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
    /// Where the guide is drawn, in the box's viewport coordinates.
    int guideX() const;

    /// The box's context menu for a click at pos (viewport coordinates): the toolkit's entries,
    /// then replacing the marked character there and all of its kind, the guide widths and
    /// wrapping the selected lines. The caller owns the menu.
    QMenu *createContextMenu(QPoint pos);
    /// The tooltip of the character at a document position: its code point and name, why
    /// readers may not see it and its plain form. Empty where nothing is marked.
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
    /// Marks the blocks a small change of the text touched.
    void markBlocks(int from, int length);
    /// Marks the blocks on the screen that were not marked since the last large change.
    void markVisible();
    void markBlock(const QTextBlock &block);
    /// The document position of the character drawn at pos, or -1.
    int characterAt(QPoint pos) const;

    TextBox *m_box;
    QWidget *m_overlay;
    int m_guide = TextMarks::DefaultGuide;
    bool m_marking = false;
    int m_generation = 0; // counts the large changes and the moves of the guide
};
