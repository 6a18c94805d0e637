#include "menuitemname.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QMenu>
#include <QPointer>

using namespace Qt::StringLiterals;

namespace {

constexpr char NameProperty[] = "zelvoraAccessibleName";

// The menu item as Qt's own describes it, with the name given instead of the caption.
class NamedMenuItem final : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    explicit NamedMenuItem(QAction *action)
        : m_action(action)
    { }

    bool isValid() const override { return m_action && menu(); }
    QObject *object() const override { return m_action; }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(menu());
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? m_action->property(NameProperty).toString() : QString();
    }
    void setText(QAccessible::Text, const QString &) override { }
    QRect rect() const override
    {
        const QMenu *m = menu();
        return m->actionGeometry(m_action).translated(m->mapToGlobal(QPoint(0, 0)));
    }
    QAccessible::Role role() const override { return QAccessible::MenuItem; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.invisible = !menu()->isVisible() || !m_action->isVisible();
        s.focused = menu()->activeAction() == m_action;
        s.disabled = !m_action->isEnabled();
        return s;
    }
    void *interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this)
                                                 : nullptr;
    }

    QStringList actionNames() const override { return { pressAction() }; }
    void doAction(const QString &name) override
    {
        if (name == pressAction() && m_action->isEnabled())
            m_action->trigger();
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QMenu *menu() const
    {
        for (QObject *o : m_action->associatedObjects())
            if (auto m = qobject_cast<QMenu *>(o))
                return m;
        return nullptr;
    }

    QPointer<QAction> m_action;
};

QAccessibleInterface *namedMenuItems(const QString &className, QObject *object)
{
    auto action = qobject_cast<QAction *>(object);
    if (className == u"QAction"_s && action && action->property(NameProperty).isValid())
        return new NamedMenuItem(action);
    return nullptr;
}

} // namespace

namespace MenuItemName {

void set(QAction *item, const QString &name)
{
    static const bool installed = (QAccessible::installFactory(namedMenuItems), true);
    Q_UNUSED(installed);
    item->setProperty(NameProperty, name);
}

} // namespace MenuItemName
