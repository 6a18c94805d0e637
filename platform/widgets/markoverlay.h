// What a marker draws over its box's viewport: the width guide, a short stretch beside each line
// where that line's marker says the guide stands, and a small flag where a character that takes
// no room at all (zero-width space, direction mark) sits. Clicks go through it to the box; screen
// readers find it by its name, 文字数の目安, and hear the guide's width as its description.
#pragma once

#include <QWidget>

class QTextBlock;
class TextBox;
class TextMarker;

class MarkOverlay final : public QWidget
{
public:
    MarkOverlay(TextBox *box, const TextMarker *marker);

    /// Tells screen readers the guide's width in columns.
    void describeGuide(int columns);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void drawGuide(QPainter &painter, qreal x, qreal top, qreal height) const;
    void drawFlags(QPainter &painter, const QTextBlock &block) const;

    TextBox *m_box;
    const TextMarker *m_marker;
};
