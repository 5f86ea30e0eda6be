#include "util/LibraryMessage.h"

#include <QtGlobal>

namespace {

std::function<void(const QString&)>& HandlerSlot() {
    static std::function<void(const QString&)> handler;
    return handler;
}

} // namespace

void ShowLibraryMessage(const QString& Text) {
    try {
        if (HandlerSlot())
            HandlerSlot()(Text);
        else
            qInfo("%s", qUtf8Printable(Text));
    } catch (...) {
        // A note must not turn into a failure of whatever reported it.
    }
}

std::function<void(const QString&)>
SetLibraryMessageHandler(std::function<void(const QString&)> AHandler) {
    std::function<void(const QString&)> old = std::move(HandlerSlot());
    HandlerSlot() = std::move(AHandler);
    return old;
}
