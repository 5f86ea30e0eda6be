#pragma once
// The boundary between Qt's event handling (event handlers, slots, idle callbacks) and
// code that may raise: no exception may pass through Qt. GuardEvent runs a handler body
// and reports what it raises instead of letting it leave.

#include <QString>
#include <exception>
#include <functional>

/// Reports an exception stopped at a Qt boundary (the installed handler, else qWarning).
void ReportEventException(const QString& Message);
/// Replaces the report of stopped exceptions (empty: back to qWarning). Programs show it
/// to the user; tests count it.
void SetEventExceptionHandler(std::function<void(const QString&)> Handler);

/// Runs Body; an exception it raises is reported and goes no further.
template <class Fn> void GuardEvent(Fn&& Body) noexcept {
    try {
        Body();
    } catch (const std::exception& e) {
        ReportEventException(QString::fromUtf8(e.what()));
    } catch (...) {
        ReportEventException(QStringLiteral("Unknown exception"));
    }
}
