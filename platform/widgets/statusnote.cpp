#include "statusnote.h"

#include <QAccessible>
#include <QAccessibleWidget>

using namespace Qt::StringLiterals;

namespace {

// Read out as a status line whose name is what it says.
class StatusNoteAccessible final : public QAccessibleWidget
{
public:
    explicit StatusNoteAccessible(QWidget *note)
        : QAccessibleWidget(note, QAccessible::StatusBar)
    { }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<const QLabel *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *accessibleNote(const QString &className, QObject *object)
{
    if (className == u"StatusNote"_s && object && object->isWidgetType())
        return new StatusNoteAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

StatusNote::StatusNote(QWidget *parent)
    : QLabel(parent)
{
    static const bool installed = (QAccessible::installFactory(accessibleNote), true);
    Q_UNUSED(installed);
    setObjectName(u"StatusNote"_s);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setTextFormat(Qt::PlainText);
    setAutoFillBackground(true);
    setFrameShape(QFrame::Box);
    setMargin(3);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(255, 255, 225));
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    hide();
    m_hide.setSingleShot(true);
    m_hide.setInterval(ShownForMs);
    connect(&m_hide, &QTimer::timeout, this, &QWidget::hide);
}

void StatusNote::say(const QString &text)
{
    setText(text);
    show();
    raise();
    m_hide.start();
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}
