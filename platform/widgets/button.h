// Command buttons. Enter presses the focused button as Space does, without any button becoming
// the window's default; a double-click is one click, and a held key presses once. A button with a
// background colour in its window's design is filled with exactly that colour inside a plain raised
// bevel; the others keep the style's look.
#pragma once

#include <QPushButton>

class Button final : public QPushButton
{
    Q_OBJECT
public:
    enum class Look {
        Style, // as the widget style draws buttons
        Plain, // the palette's button colour, flat, in a light top-left, dark bottom-right bevel
    };

    Button(const QString &caption, Look look, QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    Look m_look;
    quint64 m_enterReleasedAt = 0; // the window system's time of the last Enter released
};
