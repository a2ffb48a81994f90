#pragma once
// A menu item bound to an action, as a form's menu items are: it shows the
// action's caption, shortcut, image and hint and follows its enabled state
// whenever the action changes, and clicking it executes the action (which
// does nothing while the action is disabled). The item is an object of its
// own, so code may enable or disable the item alone, as the Edit menu does
// when it opens.

class QAction;
class QObject;

// Creates the item named pName, owned by pOwner.
QAction* CreateLinkedMenuItem(QObject* pOwner, const char* pName, QAction* pAction);
