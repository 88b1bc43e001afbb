#pragma once

#include <QString>

// 新表开户: a new user with his balance row, his fixed fees, his first meter
// with its card image and reading base, the carrier told, then the opening
// card. `hint` is the meter number to open, empty from the menu: with a hint
// there is no fixed-fee step and no card step.
void KvOpenNewAccount(const QString& hint);
