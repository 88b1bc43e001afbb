#include "KvPasteRoute.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

void KvRoutePaste(QMenu* menu, QObject* context, const std::function<void()>& paste)
{
    // The menu's Paste, found by its name (newer Qt) or its text.
    const QString pasteText = QCoreApplication::translate("QLineEdit", "&Paste");
    const QList<QAction*> actions = menu->actions();
    for (QAction* action : actions) {
        if (action->objectName() != QLatin1String("edit-paste") && action->text().section(u'\t', 0, 0) != pasteText)
            continue;
        action->setObjectName(QStringLiteral("edit-paste"));
        QObject::disconnect(action, &QAction::triggered, nullptr, nullptr); // the edit's own paste bypasses the rules
        QObject::connect(action, &QAction::triggered, context, paste);
    }
}
