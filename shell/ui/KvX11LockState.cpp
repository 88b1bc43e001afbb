#include "KvX11LockState.h"

#include <QGuiApplication>

#include <X11/XKBlib.h>

std::optional<LockKeyState> ReadX11LockState()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return std::nullopt;
    // Named indicators, since the bit of each lock in the indicator mask
    // depends on the keyboard's description.
    auto lit = [display](const char* name, bool& on) {
        Bool state = False;
        const Atom atom = XInternAtom(display, name, True);
        if (atom == None || !XkbGetNamedIndicator(display, atom, nullptr, &state, nullptr, nullptr))
            return false;
        on = state == True;
        return true;
    };
    LockKeyState state;
    const bool caps = lit("Caps Lock", state.caps);
    const bool num = lit("Num Lock", state.num);
    const bool scroll = lit("Scroll Lock", state.scroll);
    if (!caps && !num && !scroll)
        return std::nullopt;
    return state;
}
