#pragma once

#include <QString>

class CKvDialog;
class QHBoxLayout;

// The button row of the small operator dialogs of a sale: the confirm button
// (1000, which reads the controls and closes with OK) and 取消(&C) (1021),
// right-aligned. The caller puts the row into its layout.
QHBoxLayout* MakeConfirmCancelRow(CKvDialog& dialog, const QString& confirmText);
