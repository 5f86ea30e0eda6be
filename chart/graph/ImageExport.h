#pragma once
// Image export of a graph: the formats, and the extent a graph (stacked with the graphs
// that share its X axis) takes in an image. The export operations themselves are members
// of TVxGraph2D (SaveImage, AsTBitmap, AsTMetafile, CopyToClipboard, PrintTo), defined in
// ImageExport.cpp; they all draw through PaintGr on a QPainter surface for the target.

#include <QByteArray>
#include <QRect>

class TVxGraph2D;
class QImage;

/// The file formats a graph saves as.
enum class TVxImageFileFormat : int {
    EMF = 0,  ///< enhanced metafile: not available on this platform (raises)
    BMP = 1,  ///< Windows bitmap
    JPEG = 2, ///< JPEG (lossy, no transparency)
    PNG = 3,  ///< PNG with alpha
    GIF = 4,  ///< GIF89a with a transparent index
    TIFF = 5, ///< TIFF with alpha
    EXIF = 6, ///< no encoder (raises)
    Icon = 7, ///< no encoder (raises)
    SVG = 8,  ///< scalable vector graphics, 96 dpi
    PDF = 9,  ///< one PDF page of the image's size, 96 dpi
};

/// Where an export lies in the graph's pixels: it starts at Left (the vertical scrollbar's
/// strip is left out) and is Width x Height, the height summed over the coupled graphs.
struct TVxImageExtent {
    /// The left offset L cut off the graph (the vertical scrollbar's width, or less).
    int Left = 0;
    /// W: the graph's width minus L.
    int Width = 0;
    /// H: the client heights (without horizontal scrollbars) of the graph and its children.
    int Height = 0;
};

/// The extent of an export of Graph, computed on the graph that owns its X axis.
TVxImageExtent ImageExtentOf(TVxGraph2D& Graph);

/// The MIME type of a raster or vector format; empty for EMF, EXIF and Icon.
QByteArray ImageMimeType(TVxImageFileFormat Format);
