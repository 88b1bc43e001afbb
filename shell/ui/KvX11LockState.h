#pragma once

#include "CLockKeyPanes.h"

#include <optional>

// The lock keys' state from the X11 keyboard extension's named indicators;
// none where the program does not run on an X11 display. Kept apart because
// the X11 headers define macros that clash with Qt's names.
std::optional<LockKeyState> ReadX11LockState();
