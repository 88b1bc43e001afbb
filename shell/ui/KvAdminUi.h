#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class CKvDialog;
class CKvExtList2;
class QAbstractButton;
class QPushButton;

// Small pieces the administration dialogs share.

// A numbered push button of a dialog with its text.
QPushButton* MakeDialogButton(CKvDialog* dialog, int id, const QString& text);

// Runs `handler` on every click; a failure it throws is shown and the dialog
// stays (nothing unwinds through the dialog's event loop).
void OnClickGuarded(QAbstractButton* button, CKvDialog* dialog, std::function<void()> handler);

// A management list: rows 20 high, the button-face background, one left-aligned
// column per heading, each as wide as its heading plus `extraWidth` pixels.
void SetUpManagementList(CKvExtList2* list, const QStringList& headings, int extraWidth);
