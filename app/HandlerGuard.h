#pragma once
// The exception boundary of every Qt handler: an exception that escapes a handler is shown
// once and goes no further (the serial port's silent abort shows nothing).

#include "UserDialogs.h"
#include "comport/ComError.h"

#include <QString>
#include <exception>
#include <utility>

/// The text shown for a port error: "Error " + code + ": " + message.
QString ComErrorText(const EComError& E);

/// Runs Handler; an exception escaping it is shown through Dialogs and swallowed.
template <class THandler>
void RunGuarded(TUserDialogs& Dialogs, QWidget* Parent, THandler&& Handler) noexcept {
    QString text;
    try {
        std::forward<THandler>(Handler)();
        return;
    } catch (const EComAbort&) {
        return;
    } catch (const EComError& e) {
        text = ComErrorText(e);
    } catch (const std::exception& e) {
        text = QString::fromLocal8Bit(e.what());
    } catch (...) {
        text = QStringLiteral("Unknown error");
    }
    try {
        Dialogs.ShowError(Parent, text);
    } catch (...) {
        // Nothing is left to report it with.
    }
}
