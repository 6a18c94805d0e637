#include "namedcombo.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>

namespace {

constexpr char Marked[] = "zelvoraKeepsName";

class NamedComboAccessible final : public QAccessibleWidget
{
public:
    explicit NamedComboAccessible(QComboBox *combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox)
    {
        addControllingSignal(QStringLiteral("currentIndexChanged(int)"));
    }

    QComboBox *combo() const { return static_cast<QComboBox *>(object()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return combo()->currentText();
        return QAccessibleWidget::text(t);
    }

    // The list it drops down, as the toolkit's own combo box has it.
    int childCount() const override { return 1; }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(combo()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && child->object() == combo()->view() ? 0 : -1;
    }

    QStringList actionNames() const override { return { showMenuAction(), pressAction() }; }
    void doAction(const QString &action) override
    {
        if (action == showMenuAction() || action == pressAction())
            combo()->showPopup();
    }
};

QAccessibleInterface *factory(const QString &, QObject *object)
{
    auto *combo = qobject_cast<QComboBox *>(object);
    if (combo && combo->property(Marked).toBool())
        return new NamedComboAccessible(combo);
    return nullptr;
}

} // namespace

namespace NamedCombo {

void keepName(QComboBox *combo)
{
    static const bool installed = [] {
        QAccessible::installFactory(&factory);
        return true;
    }();
    Q_UNUSED(installed);
    combo->setProperty(Marked, true);
    // An interface made for it before (a screen reader asks as widgets are made) is the
    // toolkit's: made anew from here.
    QAccessible::deleteAccessibleInterface(
        QAccessible::uniqueId(QAccessible::queryAccessibleInterface(combo)));
}

} // namespace NamedCombo
