#include "drawing/Font.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QPaintDevice>

QFont ToQFont(const TVxFontSpec& Font, TVxTextRenderingHint Hint, const QPaintDevice* Device) {
    QFont f(Font.Family);
    const double dpi = Device ? Device->logicalDpiY() : 96.0;
    // Sizes are in world units at 96 dpi on every device, so a 12 pt caption is 16 units tall
    // on screen, in an image and in a PDF alike.
    f.setPointSizeF(std::max(Font.PixelSize(), 0.01) * 72.0 / dpi);
    f.setBold(Font.Bold);
    f.setItalic(Font.Italic);
    f.setUnderline(Font.Underline);
    f.setStrikeOut(Font.StrikeOut);
    switch (Hint) {
    case TVxTextRenderingHint::SingleBitPerPixel:
    case TVxTextRenderingHint::SingleBitPerPixelGridFit:
        f.setStyleStrategy(QFont::NoAntialias);
        break;
    case TVxTextRenderingHint::AntiAlias:
    case TVxTextRenderingHint::AntiAliasGridFit:
        f.setStyleStrategy(QFont::NoSubpixelAntialias);
        break;
    case TVxTextRenderingHint::ClearTypeGridFit:
        f.setStyleStrategy(QFont::PreferAntialias);
        break;
    case TVxTextRenderingHint::SystemDefault:
        break;
    }
    return f;
}

int TextFlags(const TVxStringFormat& Format, const QRectF& Layout) {
    int flags = 0;
    switch (Format.Alignment) {
    case TVxStringAlignment::Near:
        flags |= Qt::AlignLeft;
        break;
    case TVxStringAlignment::Center:
        flags |= Qt::AlignHCenter;
        break;
    case TVxStringAlignment::Far:
        flags |= Qt::AlignRight;
        break;
    }
    switch (Format.LineAlignment) {
    case TVxStringAlignment::Near:
        flags |= Qt::AlignTop;
        break;
    case TVxStringAlignment::Center:
        flags |= Qt::AlignVCenter;
        break;
    case TVxStringAlignment::Far:
        flags |= Qt::AlignBottom;
        break;
    }
    // A layout of zero width or height means "no limit" in that direction.
    const bool bounded = Layout.width() > 0 && Layout.height() > 0;
    if (!Format.NoWrap && Layout.width() > 0)
        flags |= Qt::TextWordWrap;
    if (Format.NoClip || !bounded)
        flags |= Qt::TextDontClip;
    return flags;
}

namespace {

double Padding(const QFont& Font, const TVxStringFormat& Format, const QPaintDevice* Device) {
    if (Format.Typographic)
        return 0;
    const double dpi = Device ? Device->logicalDpiY() : 96.0;
    return Font.pointSizeF() * dpi / 72.0 / 6.0;
}

} // namespace

QRectF TextArea(const QRectF& Layout, const QFont& Font, const TVxStringFormat& Format,
                const QPaintDevice* Device) {
    const double pad = Padding(Font, Format, Device);
    if (Layout.width() <= 0)
        return Layout;
    return Layout.adjusted(pad, 0, -pad, 0);
}

QRectF MeasureText(const QString& Text, const QFont& Font, const QRectF& Layout,
                   const TVxStringFormat& Format, const QPaintDevice* Device) {
    const QFontMetricsF metrics(Font, const_cast<QPaintDevice*>(Device));
    const QRectF area = TextArea(Layout, Font, Format, Device);
    QRectF box = metrics.boundingRect(area, TextFlags(Format, Layout), Text);
    const double pad = Padding(Font, Format, Device);
    box.adjust(-pad, 0, pad, 0);
    return box;
}

double FontLineSpacing(const QFont& Font, const QPaintDevice* Device) {
    return QFontMetricsF(Font, const_cast<QPaintDevice*>(Device)).lineSpacing();
}

const QPaintDevice* MeasuringDevice() {
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        image.setDotsPerMeterX(3780); // 96.01 dpi, which Qt reports as 96
        image.setDotsPerMeterY(3780);
        return image;
    }();
    return &device;
}

bool IsFontAvailable(const QString& Family) {
    return QFontDatabase::families().contains(Family, Qt::CaseInsensitive);
}
