#pragma once

#include <functional>

class QMenu;
class QObject;

// Points the Paste of an edit's standard context menu (createStandardContextMenu)
// at `paste`, so that a paste from the menu passes the same rules as one from
// the keyboard. The action keeps the object name "edit-paste".
void KvRoutePaste(QMenu* menu, QObject* context, const std::function<void()>& paste);
