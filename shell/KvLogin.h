#pragma once

#include <QString>

// Logging an operator in, switching to another operator and changing the
// logged-in operator's password, on the process-wide current operator.

// The text shown when a code and password do not match an operator.
QString KvLoginFailedText();

// Start-up: puts the typed code and password into the current operator and
// verifies them; on success the operator's name, workstation and rights are
// loaded. One try only; the caller shows the failure.
bool LoginOperator(const QString& operatorNo, const QString& password);

// Switching operator: as LoginOperator, but a failure puts the previous
// operator back exactly as he was (code, password, name, workstation, rights).
bool SwitchOperator(const QString& operatorNo, const QString& password);

// Whether a typed password is the current operator's (exact comparison).
bool IsCurrentPassword(const QString& typed);

// Gives the current operator a new password and stores it. When the write
// fails the operator keeps his old password in memory too, and the failure is
// passed on.
void ChangeCurrentPassword(const QString& newPassword);
