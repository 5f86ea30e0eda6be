#pragma once
// Fonts and string formats of the drawing surface, and text layout shared by its
// implementations.

#include "drawing/DrawTypes.h"

#include <QFont>
#include <QString>

class QPaintDevice;

/// Unit of a font size.
enum class TVxFontUnit {
    Point, ///< 1/72 inch at 96 dots per inch: 12 points are 16 units
    Pixel, ///< world units
};

/// A font by family, size and style, copied by value.
struct TVxFontSpec {
    /// Family name ("Arial").
    QString Family = QStringLiteral("Arial");
    /// Em size in Unit.
    double Size = 8.25;
    /// Unit of Size.
    TVxFontUnit Unit = TVxFontUnit::Point;
    /// Bold face.
    bool Bold = false;
    /// Italic face.
    bool Italic = false;
    /// Underlined.
    bool Underline = false;
    /// Struck out.
    bool StrikeOut = false;
    /// The em size in world units (points at 96 dots per inch).
    double PixelSize() const { return Unit == TVxFontUnit::Point ? Size * 96.0 / 72.0 : Size; }
    /// Equal fonts.
    bool operator==(const TVxFontSpec&) const = default;
};

/// Placement of text along one direction of its layout rectangle.
enum class TVxStringAlignment {
    Near,   ///< left or top
    Center, ///< centred
    Far,    ///< right or bottom
};

/// How text is laid out in its layout rectangle.
struct TVxStringFormat {
    /// Horizontal placement.
    TVxStringAlignment Alignment = TVxStringAlignment::Near;
    /// Vertical placement.
    TVxStringAlignment LineAlignment = TVxStringAlignment::Near;
    /// No word wrapping at the layout width.
    bool NoWrap = false;
    /// Text may extend beyond the layout rectangle.
    bool NoClip = false;
    /// Typographic layout: no padding around the text.
    bool Typographic = false;

    /// The generic default format: padding of 1/6 em on either side, clipped to the layout.
    static TVxStringFormat GenericDefault() { return {}; }
    /// The generic typographic format: no padding, no wrapping, no clipping.
    static TVxStringFormat GenericTypographic() {
        TVxStringFormat f;
        f.NoWrap = true;
        f.NoClip = true;
        f.Typographic = true;
        return f;
    }
    /// Equal formats.
    bool operator==(const TVxStringFormat&) const = default;
};

/// The Qt font of Font for Device (the em size in world units whatever the device's resolution),
/// anti-aliased as Hint asks.
QFont ToQFont(const TVxFontSpec& Font, TVxTextRenderingHint Hint, const QPaintDevice* Device);
/// Qt alignment and wrapping flags of Format for a layout of Layout.
int TextFlags(const TVxStringFormat& Format, const QRectF& Layout);
/// The rectangle Text takes when drawn in Layout, padding included.
QRectF MeasureText(const QString& Text, const QFont& Font, const QRectF& Layout,
                   const TVxStringFormat& Format, const QPaintDevice* Device);
/// The layout rectangle with the format's horizontal padding taken off.
QRectF TextArea(const QRectF& Layout, const QFont& Font, const TVxStringFormat& Format,
                const QPaintDevice* Device);
/// The line spacing of Font on Device, in world units.
double FontLineSpacing(const QFont& Font, const QPaintDevice* Device);
/// True when a font family of that name is installed (needs a QGuiApplication).
bool IsFontAvailable(const QString& Family);
/// A 96-dots-per-inch device for measuring text where no target exists.
const QPaintDevice* MeasuringDevice();
