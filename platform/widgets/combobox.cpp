#include "combobox.h"

#include <QAccessibleWidget>

using namespace Qt::StringLiterals;

namespace {

// Named by the accessible name set on the box; its value is the text in the field.
class AccessibleComboBox final : public QAccessibleWidget
{
public:
    explicit AccessibleComboBox(QWidget *w)
        : QAccessibleWidget(w, QAccessible::ComboBox)
    { }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return static_cast<const QComboBox *>(widget())->currentText();
        return QAccessibleWidget::text(t);
    }
};

// Asked with the class names of an object from the most derived up: this one answers first
// for a ComboBox, before Qt's own answer for a QComboBox.
QAccessibleInterface *accessibleComboBox(const QString &className, QObject *object)
{
    if (className == u"ComboBox"_s && object && object->isWidgetType())
        return new AccessibleComboBox(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

ComboBox::ComboBox(QWidget *parent)
    : QComboBox(parent)
{
    QAccessible::installFactory(accessibleComboBox); // once: a second install is ignored
}
