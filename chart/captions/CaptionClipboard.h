#pragma once
// Exchanging rich captions through the clipboard: the markup under the format
// "TVxCaptionEdit", with the plain text beside it for other programs.

#include <QString>
#include <optional>

class QMimeData;

/// The clipboard format of rich captions.
inline const QString CaptionClipboardFormat = QStringLiteral("TVxCaptionEdit");
/// Longest caption taken from the clipboard, in characters; longer data is not a caption.
inline constexpr qsizetype MaxClipboardCaption = 1 << 20;

/// New clipboard data holding Caption as markup (UTF-8 under CaptionClipboardFormat) and its
/// plain text (markup removed, placeholders as written, lines separated by newlines).
QMimeData* CaptionToMimeData(const QString& Caption);
/// The caption in Data: the markup of CaptionClipboardFormat when present, else the plain
/// text escaped so that it shows literally; nothing when neither is there or the data is
/// longer than MaxClipboardCaption. Never raises.
std::optional<QString> CaptionFromMimeData(const QMimeData* Data);
/// Puts Caption on the system clipboard.
void CopyCaptionToClipboard(const QString& Caption);
/// The caption on the system clipboard, if any.
std::optional<QString> PasteCaptionFromClipboard();
