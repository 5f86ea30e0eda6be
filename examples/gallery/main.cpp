// The chart gallery: a window with one page per kind of chart, or without a window
// --export DIR [--page NAME] writes every page as PNG and PDF.
#include "GalleryExport.h"
#include "GalleryWindow.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

namespace {

const char Usage[] = "Usage: gallery                      the window: pages, live charts, sources\n"
                     "       gallery --export DIR [--page NAME] [--point-count N]\n"
                     "                                    write NAME.png and NAME.pdf of every\n"
                     "                                    page (or the one named), no display\n"
                     "       gallery --list               the page names\n";

int Fail(const char* Message) {
    std::fprintf(stderr, "gallery: %s\n%s", Message, Usage);
    return 2;
}

bool HasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (const char* value = std::getenv(name); value && *value)
            return true;
    return false;
}

} // namespace

int main(int argc, char** argv) {
    QString folder, page;
    bool exportMode = false;
    TGalleryPageOptions options;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const bool hasValue = i + 1 < argc;
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::fputs(Usage, stdout);
            return 0;
        } else if (arg == QLatin1String("--list")) {
            for (const TGalleryPage& p : GalleryPages())
                std::printf("%s\n", p.Name.toLocal8Bit().constData());
            return 0;
        } else if (arg == QLatin1String("--export") && hasValue) {
            exportMode = true;
            folder = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == QLatin1String("--page") && hasValue) {
            page = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == QLatin1String("--point-count") && hasValue) {
            bool ok = false;
            options.PointCount = QString::fromLocal8Bit(argv[++i]).toLongLong(&ok);
            if (!ok || options.PointCount < 1)
                return Fail("--point-count takes a positive count");
        } else {
            return Fail(("unknown argument " + arg.toLocal8Bit()).constData());
        }
    }
    if (!exportMode && (!page.isEmpty() || options.PointCount > 0))
        return Fail("--page and --point-count go with --export");
    if (exportMode) {
        // No window: Qt's offscreen platform needs no display.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        return RunGalleryExport(folder, page, options, stdout, stderr);
    }
    // Without a display the platform plugin would abort inside QApplication.
    if (!HasDisplay()) {
        std::fprintf(stderr, "gallery: no display: use --export DIR, see --help\n");
        return 2;
    }
    QApplication app(argc, argv);
    TGalleryWindow window;
    window.show();
    return app.exec();
}
