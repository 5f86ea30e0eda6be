#include "captions/CaptionClipboard.h"

#include "captions/CaptionMarkup.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

QMimeData* CaptionToMimeData(const QString& Caption) {
    auto* data = new QMimeData;
    data->setData(CaptionClipboardFormat, Caption.toUtf8());
    // Placeholders are not expanded here: the plain text shows what the caption says.
    QString plain = PlainCaptionText(Caption);
    plain.replace(u'\r', u'\n');
    data->setText(plain);
    return data;
}

std::optional<QString> CaptionFromMimeData(const QMimeData* Data) {
    if (!Data)
        return std::nullopt;
    if (Data->hasFormat(CaptionClipboardFormat)) {
        const QByteArray bytes = Data->data(CaptionClipboardFormat);
        if (bytes.size() > MaxClipboardCaption * 3)
            return std::nullopt;
        // Invalid UTF-8 becomes replacement characters; nothing is read past the bytes.
        const QString caption = QString::fromUtf8(bytes);
        if (caption.size() > MaxClipboardCaption)
            return std::nullopt;
        return caption;
    }
    if (Data->hasText()) {
        const QString text = Data->text();
        if (text.size() > MaxClipboardCaption)
            return std::nullopt;
        return EscapeCaptionText(text);
    }
    return std::nullopt;
}

void CopyCaptionToClipboard(const QString& Caption) {
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setMimeData(CaptionToMimeData(Caption));
}

std::optional<QString> PasteCaptionFromClipboard() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? CaptionFromMimeData(clipboard->mimeData()) : std::nullopt;
}
