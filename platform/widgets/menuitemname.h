// A name for screen readers on a menu item whose caption is empty. Qt reads a menu item's name
// from its caption alone, so an item with none would be announced as nothing.
#pragma once

class QAction;
class QString;

namespace MenuItemName {

/// Names the item for screen readers; what the menu shows stays as it is.
void set(QAction *item, const QString &name);

} // namespace MenuItemName
