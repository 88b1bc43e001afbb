#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class CKvComboBox;
class CKvDialog;
class CStation;
class CStationList;
class CKvExtList2;
class QAbstractButton;
class QLayout;
class QWidget;
class QPushButton;

// Small pieces the administration dialogs share.

// A numbered push button of a dialog with its text.
QPushButton* MakeDialogButton(CKvDialog* dialog, int id, const QString& text);

// The confirm button (1000, the default: reads the controls and closes with OK)
// and a close button (closes as cancelled).
QPushButton* MakeConfirmButton(CKvDialog* dialog, const QString& text);
QPushButton* MakeCloseButton(CKvDialog* dialog, int id, const QString& text);

// The one layout of these dialogs: the body (a form or a list) above a row of
// buttons, `left` at the left edge and `right` at the right.
void LayOutDialog(CKvDialog* dialog, QLayout* body, const QList<QWidget*>& left, const QList<QWidget*>& right);
void LayOutDialog(CKvDialog* dialog, QWidget* body, const QList<QWidget*>& left, const QList<QWidget*>& right);

// Loads every workstation into `stations` and lists their names in `box`
// (item data: the index in the list), choosing the one numbered `stationNo`;
// none is chosen when no number matches.
void FillStationBox(CKvComboBox* box, CStationList& stations, const QString& stationNo);
// The workstation chosen in a box filled so, or null.
CStation* ChosenStation(const CKvComboBox* box, const CStationList& stations);

// Runs `handler` on every click; a failure it throws is shown and the dialog
// stays (nothing unwinds through the dialog's event loop).
void OnClickGuarded(QAbstractButton* button, CKvDialog* dialog, std::function<void()> handler);

// A management list: rows 20 high, the button-face background, one left-aligned
// column per heading, each as wide as its heading plus `extraWidth` pixels.
void SetUpManagementList(CKvExtList2* list, const QStringList& headings, int extraWidth);
