#include "EventGuard.h"

#include <QtGlobal>

namespace {

std::function<void(const QString&)>& InstalledHandler() {
    static std::function<void(const QString&)> handler;
    return handler;
}

} // namespace

void ReportEventException(const QString& Message) {
    if (InstalledHandler()) {
        try {
            InstalledHandler()(Message);
            return;
        } catch (...) {
            // A failing report falls back to the warning below.
        }
    }
    qWarning("%s", qUtf8Printable(Message));
}

void SetEventExceptionHandler(std::function<void(const QString&)> Handler) {
    InstalledHandler() = std::move(Handler);
}
