// A short note in a window that goes away by itself: no window of its own, it takes no focus and
// no click, and screen readers hear it as a status.
#pragma once

#include <QLabel>
#include <QTimer>

class StatusNote final : public QLabel
{
    Q_OBJECT
public:
    /// How long a note stays.
    static constexpr int ShownForMs = 6000;

    explicit StatusNote(QWidget *parent);

    /// Shows text in front of the window's controls for a few seconds and announces it.
    void say(const QString &text);

private:
    QTimer m_hide;
};
