#include "DisplayProbe.h"

#include <QByteArray>
#include <QDir>
#include <QLibraryInfo>
#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Connects as the xcb platform would, through the same library, so that a DISPLAY that
// names no server, a server that refuses us and a missing library all count as no display.
bool XServerAnswers() {
    void* library = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return false;
    using TConnect = void* (*)(const char*, int*);
    using THasError = int (*)(void*);
    using TDisconnect = void (*)(void*);
    const auto connect = reinterpret_cast<TConnect>(::dlsym(library, "xcb_connect"));
    const auto hasError = reinterpret_cast<THasError>(::dlsym(library, "xcb_connection_has_error"));
    const auto disconnect = reinterpret_cast<TDisconnect>(::dlsym(library, "xcb_disconnect"));
    bool answers = false;
    if (connect && hasError && disconnect) {
        // xcb_connect never returns null: a failed connection is an object in an error state.
        void* connection = connect(nullptr, nullptr);
        answers = hasError(connection) == 0;
        disconnect(connection);
    }
    ::dlclose(library);
    return answers;
}

// The compositor's socket as the Wayland client library finds it.
bool WaylandAnswers() {
    QByteArray path = qgetenv("WAYLAND_DISPLAY");
    if (path.isEmpty())
        path = "wayland-0";
    if (!path.startsWith('/')) {
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        if (runtime.isEmpty())
            return false;
        path = runtime + '/' + path;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof address.sun_path)
        return false;
    std::copy(path.begin(), path.end(), address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool answers =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return answers;
}

bool WaylandPlatformInstalled() {
    const QDir platforms(QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                         QStringLiteral("/platforms"));
    return !platforms.entryList({QStringLiteral("libqwayland*")}, QDir::Files).isEmpty();
}

// Whether one entry of QT_QPA_PLATFORM ("xcb", "wayland-egl", "offscreen:fontengine=...")
// finds what it needs.
bool PlatformFindsDisplay(const QByteArray& Entry) {
    const qsizetype colon = Entry.indexOf(':');
    const QByteArray name = (colon < 0 ? Entry : Entry.left(colon)).trimmed();
    if (name == "xcb")
        return XServerAnswers();
    if (name.startsWith("wayland"))
        return WaylandPlatformInstalled() && WaylandAnswers();
    // offscreen, minimal, vnc, linuxfb, eglfs ...: no display server; Qt reports the rest.
    return true;
}

} // namespace

bool DisplayAvailable() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    // Unset, Qt takes xcb, or Wayland in a Wayland session.
    if (platform.trimmed().isEmpty())
        return PlatformFindsDisplay("xcb") ||
               (qgetenv("XDG_SESSION_TYPE") == "wayland" && PlatformFindsDisplay("wayland"));
    // Qt tries the entries of a list separated by ';' in turn.
    for (const QByteArray& entry : platform.split(';'))
        if (!entry.trimmed().isEmpty() && PlatformFindsDisplay(entry))
            return true;
    return false;
}
