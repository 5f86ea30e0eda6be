// Any text as a caption: placeholder expansion against text variables that the input also
// defines (so cycles, deep chains and long values occur), markup tokens, measuring and drawing
// on a recording surface, and the clipboard reader. Nothing may raise, hang or read outside.
//
// Input: UTF-8 parts separated by NUL bytes: the caption, then the values of the text
// variables Fz.V0, Fz.V1, ... (at most four).
#include "captions/CaptionClipboard.h"
#include "captions/CaptionMarkup.h"
#include "captions/CaptionVariables.h"
#include "captions/RichCaption.h"
#include "drawing/RecordingSurface.h"
#include "util/VariableRegistries.h"

#include <QGuiApplication>
#include <QMimeData>
#include <cstdlib>

namespace {

QGuiApplication* App = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    App = new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const QList<QByteArray> parts =
        QByteArray(reinterpret_cast<const char*>(Data), qsizetype(Size)).split('\0');
    QObject container;
    container.setObjectName("Fz");
    std::vector<QString> values;
    for (qsizetype i = 1; i < parts.size() && i <= 4; ++i)
        values.push_back(QString::fromUtf8(parts[i]));
    for (std::size_t i = 0; i < values.size(); ++i)
        RegisterStringGetter(QStringLiteral("V%1").arg(i), {}, &container, GlobalStringGetters(),
                             [&values, i] { return values[i]; });
    RegisterDoubleGetter(QStringLiteral("X"), {}, &container, GlobalDoubleGetters(),
                         [] { return 2.5; });

    const QString caption = QString::fromUtf8(parts.value(0));
    const QString expanded = ExpandVariables(caption, nullptr);
    const auto tokens = TokenizeCaption(expanded);
    for (const TVxMarkupToken& t : tokens)
        if (t.Kind == TVxMarkupKind::Run && t.Text.isEmpty())
            std::abort(); // runs are never empty
    (void)PlainCaptionText(expanded);
    (void)FindMarkupError(expanded);
    try {
        CheckCaption(caption);
    } catch (const std::exception&) {
    }

    TVxFont font;
    font.SetName(QStringLiteral("DejaVu Sans"));
    TVxRichCaptionRec rec;
    rec.Font = &font;
    rec.Caption = caption;
    rec.Angle = 30;
    rec.Align = TVxContentAlignment::MiddleCenter;
    TVxRecordingSurface surface;
    rec.ParseForSize(surface);
    if (!std::isfinite(rec.FWidth) || !std::isfinite(rec.FHeight) || rec.FWidth < 0)
        std::abort();
    rec.PaintGr(surface);

    QMimeData mime;
    mime.setData(CaptionClipboardFormat, parts.value(0));
    if (const auto pasted = CaptionFromMimeData(&mime); !pasted)
        std::abort();
    mime.clear();
    mime.setText(caption);
    // Escaped plain text shows exactly what was pasted.
    if (const auto pasted = CaptionFromMimeData(&mime)) {
        QString expected = caption;
        expected.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
        expected.replace(u'\n', u'\r').replace(QChar::LineSeparator, u'\r');
        expected.replace(QChar::ParagraphSeparator, u'\r');
        if (PlainCaptionText(ExpandVariables(*pasted, nullptr)) != expected)
            std::abort();
    }
    UnregisterContainerEverywhere(&container);
    return 0;
}
