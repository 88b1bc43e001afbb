#pragma once

#include <QString>
#include <exception>
#include <utility>

class QObject;

// The text shown for a failure that carries no text of its own.
QString KvGenericFailureText();

// Shows a caught failure in an error box: the text of a CKvException or of a
// std::exception, or the generic text when it is empty or unknown.
void KvReportFailure(std::exception_ptr failure, QObject* parent = nullptr);

// Runs a handler and shows any failure that escapes it, so that nothing is
// thrown through Qt's event dispatch. Returns false when the handler failed.
template <class F> bool KvGuard(F&& handler, QObject* parent = nullptr)
{
    try {
        std::forward<F>(handler)();
        return true;
    } catch (...) {
        KvReportFailure(std::current_exception(), parent);
        return false;
    }
}

// Wraps a handler for connect(): the slot runs under KvGuard with the signal's arguments.
template <class F> auto KvGuarded(F handler)
{
    return [handler = std::move(handler)](auto&&... args) mutable {
        KvGuard([&] { handler(std::forward<decltype(args)>(args)...); });
    };
}
