#include "button.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <qdrawutil.h>

Button::Button(const QString &caption, Look look, QWidget *parent)
    : QPushButton(caption, parent)
    , m_look(look)
{
    setAutoDefault(false);
}

void Button::keyPressEvent(QKeyEvent *event)
{
    // Return and the keypad's Enter; a held key presses once, so that a mail is not sent twice.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        // The window system repeats a held key as a release and a press at the same moment;
        // the toolkit does not always see that pair as a repeat.
        const bool held = event->isAutoRepeat()
            || (m_enterReleasedAt != 0 && event->timestamp() == m_enterReleasedAt);
        if (!held)
            click();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void Button::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        m_enterReleasedAt = event->timestamp();
    QPushButton::keyReleaseEvent(event);
}

// The second press of a double-click would be a second click: a mail sent twice, or two compose
// windows. It is taken and does nothing.
void Button::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
}

void Button::paintEvent(QPaintEvent *event)
{
    // The widget style lightens a button's colour into a gradient: a designed colour is drawn
    // here instead, as it is.
    if (m_look == Look::Style) {
        QPushButton::paintEvent(event);
        return;
    }
    QPainter painter(this);
    const bool sunken = isDown() || isChecked();
    const QBrush fill = palette().brush(QPalette::Button);
    qDrawWinButton(&painter, rect(), palette(), sunken, &fill);

    QStyleOptionButton option;
    initStyleOption(&option);
    option.rect = rect().adjusted(2, 2, -2, -2);
    if (sunken)
        option.rect.translate(1, 1);
    style()->drawControl(QStyle::CE_PushButtonLabel, &option, &painter, this);

    if (hasFocus()) {
        QPen dotted(palette().color(QPalette::ButtonText), 0, Qt::DotLine);
        painter.setPen(dotted);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(4, 4, -5, -5));
    }
}
