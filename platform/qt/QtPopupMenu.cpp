#include "platform/qt/QtPopupMenu.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

namespace quorvel {

std::vector<QAction*> addMenuEntries(QMenu& menu, const std::vector<MenuEntry>& entries) {
    std::vector<QAction*> actions;
    actions.reserve(entries.size());
    for (const MenuEntry& entry : entries) {
        if (entry.caption == "-") {
            actions.push_back(menu.addSeparator());
            continue;
        }
        QAction* action = menu.addAction(QString::fromStdString(entry.caption));
        // The platform's menus draw a mark beside a switch that is on and nothing beside
        // any other item; a checkable action would show an empty box while it is off.
        action->setCheckable(entry.checked);
        action->setChecked(entry.checked);
        actions.push_back(action);
    }
    return actions;
}

int QtPopupMenu::popupAtCursor(const std::vector<MenuEntry>& entries) {
    QMenu menu;
    const std::vector<QAction*> actions = addMenuEntries(menu, entries);
    const QAction* chosen = menu.exec(QCursor::pos());
    for (std::size_t i = 0; i < actions.size(); ++i) {
        if (actions[i] == chosen) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace quorvel
