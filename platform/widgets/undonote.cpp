#include "undonote.h"

#include <QAccessible>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

UndoNote::UndoNote(const QString &undoCaption, QWidget *parent)
    : QFrame(parent)
    , m_text(new QLabel(this))
    , m_undo(new QPushButton(undoCaption, this))
{
    setObjectName(u"UndoNote"_s);
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(255, 255, 225));
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    m_text->setTextFormat(Qt::PlainText);
    m_undo->setObjectName(u"undoButton"_s);
    // The author goes on typing where they were; the access key reaches the button.
    m_undo->setFocusPolicy(Qt::NoFocus);
    m_undo->setAutoDefault(false);
    auto row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(m_text, 1);
    row->addWidget(m_undo);
    connect(m_undo, &QPushButton::clicked, this, &UndoNote::undoRequested);
    hide();
}

void UndoNote::say(const QString &text)
{
    m_text->setText(text);
    setAccessibleName(text);
    show();
    raise();
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}
