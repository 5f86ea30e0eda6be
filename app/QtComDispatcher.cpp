#include "QtComDispatcher.h"

#include "HandlerGuard.h"

TQtComDispatcher::TQtComDispatcher(std::function<void(const QString&)> Show, QObject* Parent)
    : QObject(Parent), FShow(std::move(Show)) {}

void TQtComDispatcher::Post(std::function<void()> Task) {
    QMetaObject::invokeMethod(
        this,
        [this, task = std::move(Task)] {
            // The port's work catches what its handlers raise; this is the last line before
            // the event loop, which no exception may reach.
            try {
                task();
            } catch (const EComAbort&) {
            } catch (const std::exception& e) {
                ShowException(e);
            } catch (...) {
                ShowException(std::runtime_error("Unknown error"));
            }
        },
        Qt::QueuedConnection);
}

void TQtComDispatcher::ShowException(const std::exception& E) {
    if (!FShow)
        return;
    const auto* comError = dynamic_cast<const EComError*>(&E);
    const QString text = comError ? ComErrorText(*comError) : QString::fromLocal8Bit(E.what());
    try {
        FShow(text);
    } catch (...) {
        // Showing failed; there is nothing left to report it with.
    }
}
