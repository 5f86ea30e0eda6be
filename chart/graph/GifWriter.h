#pragma once
// GIF89a encoding with giflib (Qt reads GIF but cannot write it).

#include <QByteArray>

class QImage;

/// How the GIF's colour table was made.
enum class TVxGifPalette {
    Exact,     ///< every colour of the image (256 at most, the transparent one included)
    MedianCut, ///< more colours: a median-cut reduction to 255 entries and the transparent one
};

/// Encodes Image as one GIF89a frame. Fully transparent pixels take the transparent index;
/// partly transparent ones are composed onto white, as GIF has no partial alpha. Palette,
/// when given, receives how the colour table was made. Raises EVxException with giflib's
/// reason on failure, or for an image larger than 65535 pixels either way.
QByteArray EncodeGif(const QImage& Image, TVxGifPalette* Palette = nullptr);
