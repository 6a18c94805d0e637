// A note in a window that says what a button just did to the author's work, with a button that
// takes it back. It stays until the window dismisses it; it takes no focus of its own, but its
// button's access key works from anywhere in the window.
#pragma once

#include <QFrame>

class QLabel;
class QPushButton;

class UndoNote final : public QFrame
{
    Q_OBJECT
public:
    /// undoCaption names the button, with its access key ("元に戻す(&U)").
    UndoNote(const QString &undoCaption, QWidget *parent);

    /// Shows text in front of the window's controls and announces it.
    void say(const QString &text);

Q_SIGNALS:
    /// The author asked for the work back.
    void undoRequested();

private:
    QLabel *m_text;
    QPushButton *m_undo;
};
