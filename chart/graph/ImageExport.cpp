// Image export, clipboard and printing of a graph. Every target draws the graph, stacked
// with the graphs that share its X axis, through PaintGr on a QPainter surface: raster
// images through QImageWriter (GIF through giflib), PDF through QPdfWriter, SVG through
// QSvgGenerator, pictures through QPicture; printing plays such a picture.

#include "graph/ImageExport.h"

#include "axes/Axis.h"
#include "axes/AxisLook.h"
#include "graph/GifWriter.h"
#include "graph/Graph.h"
#include "graph/ImageExportSvg.h"
#include "util/Exceptions.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageWriter>
#include <QMimeData>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QPicture>
#include <QPixmap>
#include <QPrinter>
#include <QSaveFile>
#include <QScrollBar>
#include <QSvgGenerator>
#include <algorithm>
#include <memory>

namespace {

/// Sets a flag for its lifetime and restores the old value however the scope ends.
class TFlagScope {
public:
    TFlagScope(bool& Flag, bool Value) : FFlag(Flag), FWas(Flag) { FFlag = Value; }
    ~TFlagScope() { FFlag = FWas; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
    bool FWas;
};

/// Saves a painter's state (transform, clip) and restores it however the scope ends.
class TPainterScope {
public:
    explicit TPainterScope(QPainter& Painter) : FPainter(Painter) { FPainter.save(); }
    ~TPainterScope() { FPainter.restore(); }
    TPainterScope(const TPainterScope&) = delete;
    TPainterScope& operator=(const TPainterScope&) = delete;

private:
    QPainter& FPainter;
};

TVxGraph2D& OwnerOf(TVxGraph2D& Graph) {
    auto* owner = dynamic_cast<TVxGraph2D*>(Graph.CouplingOwner());
    if (owner && owner != &Graph && owner->NeedsRecalculation())
        owner->CheckCoupled();
    return owner ? *owner : Graph;
}

int HScrollBarHeight(const TVxGraph2D& Graph) {
    return Graph.isVisible() && Graph.HScrollBar()->isVisible() ? Graph.HScrollBar()->height() : 0;
}

int VScrollBarWidth(const TVxGraph2D& Graph) {
    return Graph.isVisible() && Graph.VScrollBar()->isVisible() ? Graph.VScrollBar()->width() : 0;
}

const char* FormatName(TVxImageFileFormat Format) {
    switch (Format) {
    case TVxImageFileFormat::EMF:
        return "EMF";
    case TVxImageFileFormat::BMP:
        return "BMP";
    case TVxImageFileFormat::JPEG:
        return "JPEG";
    case TVxImageFileFormat::PNG:
        return "PNG";
    case TVxImageFileFormat::GIF:
        return "GIF";
    case TVxImageFileFormat::TIFF:
        return "TIFF";
    case TVxImageFileFormat::EXIF:
        return "EXIF";
    case TVxImageFileFormat::Icon:
        return "Icon";
    case TVxImageFileFormat::SVG:
        return "SVG";
    case TVxImageFileFormat::PDF:
        return "PDF";
    }
    return nullptr;
}

/// Raises unless Format can be encoded here; nothing has been touched yet when it does.
void CheckFormat(TVxImageFileFormat Format) {
    const char* name = FormatName(Format);
    if (!name)
        throw EVxException(QStringLiteral("Unknown image file format %1").arg(int(Format)));
    if (Format == TVxImageFileFormat::EMF)
        throw EVxException(
            QStringLiteral("The image file format EMF is not supported on this platform"));
    if (ImageMimeType(Format).isEmpty())
        throw EVxException(QStringLiteral("No image encoder for the image file format %1")
                               .arg(QLatin1String(name)));
}

TVxImageExtent CheckedExtent(TVxGraph2D& Graph) {
    const TVxImageExtent e = ImageExtentOf(Graph);
    if (e.Width <= 0 || e.Height <= 0)
        throw EVxException(QStringLiteral("The graph has no area to export (%1 x %2 pixels)")
                               .arg(e.Width)
                               .arg(e.Height));
    return e;
}

/// Writer formats keyed by our formats.
const char* WriterFormat(TVxImageFileFormat Format) {
    switch (Format) {
    case TVxImageFileFormat::BMP:
        return "bmp";
    case TVxImageFileFormat::JPEG:
        return "jpeg";
    case TVxImageFileFormat::PNG:
        return "png";
    case TVxImageFileFormat::TIFF:
        return "tiff";
    default:
        return nullptr;
    }
}

/// Where nothing was drawn an ARGB export holds transparent white, as it was cleared.
QImage TransparentWhite(const QImage& Image) {
    QImage argb = Image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(argb.scanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(row[x]) == 0)
                row[x] = 0x00FFFFFFu;
    }
    return argb;
}

/// What a reader ignoring alpha shows of a transparent export: the chart on white.
QImage OnWhite(const QImage& Image) {
    QImage rgb(Image.size(), QImage::Format_RGB32);
    rgb.fill(Qt::white);
    QPainter painter(&rgb);
    painter.drawImage(0, 0, Image);
    return rgb;
}

QByteArray EncodeRaster(const QImage& Image, TVxImageFileFormat Format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, WriterFormat(Format));
    if (!writer.write(Image))
        throw EVxException(QStringLiteral("The %1 encoder failed: %2")
                               .arg(QLatin1String(FormatName(Format)), writer.errorString()));
    return bytes;
}

} // namespace

QByteArray ImageMimeType(TVxImageFileFormat Format) {
    switch (Format) {
    case TVxImageFileFormat::BMP:
        return "image/bmp";
    case TVxImageFileFormat::JPEG:
        return "image/jpeg";
    case TVxImageFileFormat::PNG:
        return "image/png";
    case TVxImageFileFormat::GIF:
        return "image/gif";
    case TVxImageFileFormat::TIFF:
        return "image/tiff";
    case TVxImageFileFormat::SVG:
        return "image/svg+xml";
    case TVxImageFileFormat::PDF:
        return "application/pdf";
    default:
        return {};
    }
}

TVxImageExtent ImageExtentOf(TVxGraph2D& Graph) {
    TVxGraph2D& owner = OwnerOf(Graph);
    const std::vector<TVxGraph2D*> children = owner.ChildGraphs();
    TVxImageExtent e;
    e.Left = VScrollBarWidth(owner);
    for (const TVxGraph2D* child : children)
        e.Left = std::max(e.Left, VScrollBarWidth(*child));
    if (e.Left > 0 && !children.empty()) {
        // Stacked graphs keep their left axes whole, even where a scrollbar is wider.
        std::vector<TVxGraph2D*> graphs = children;
        graphs.push_back(&owner);
        for (TVxGraph2D* g : graphs)
            for (TVxAxis* axis : g->ChildAxes())
                if (axis->Position() == TVxAxisPosition::Left)
                    e.Left = std::min(e.Left, AxisLook(*axis).Left());
    }
    e.Width = owner.width() - e.Left;
    e.Height = owner.height() - HScrollBarHeight(owner);
    for (const TVxGraph2D* child : children)
        e.Height += child->height() - HScrollBarHeight(*child);
    return e;
}

// --- drawing ---------------------------------------------------------------------------------

void TVxGraph2D::PaintExport(QPainter& Painter, bool Vector) {
    TVxGraph2D& owner = OwnerOf(*this);
    const TVxImageExtent extent = CheckedExtent(owner);
    // The owner's layout aligns the stacked graphs: it runs before any of them is drawn.
    if (owner.NeedsRecalculation() && !owner.Updating())
        owner.Calculate();
    const bool svg = Painter.paintEngine() && Painter.paintEngine()->type() == QPaintEngine::SVG;
    const auto paintOne = [&](TVxGraph2D& Graph) {
        const int height = Graph.height() - HScrollBarHeight(Graph);
        TPainterScope state(Painter);
        Painter.setClipRect(QRect(0, 0, Graph.width(), height), Qt::IntersectClip);
        {
            TFlagScope image(Graph.FDoingImage, true);
            TFlagScope metafile(Graph.FDoingMetafile, Vector);
            TFlagScope painting(Graph.FPainting, true);
            if (svg) {
                TVxSvgExportSurface surface(Painter, QRectF(0, 0, Graph.width(), height));
                Graph.PaintGr(surface);
            } else {
                TVxQtSurface surface(Painter);
                Graph.PaintGr(surface);
            }
        }
        // Whatever the paint brought up to date was not seen by the screen's frame.
        Graph.FFrameDirty = true;
        return height;
    };
    TPainterScope state(Painter);
    Painter.translate(-extent.Left, 0);
    const std::vector<TVxGraph2D*> children = owner.ChildGraphs();
    // Stacked graphs are drawn before the owner, whose poll gives the shared X axis its range
    // from every graph's series: in a stack never painted before, they would reduce their
    // series to the axis' stale range. One pass on a scratch image brings the stack up to
    // date first, as the screen's next frame would.
    bool fresh = owner.FOnce;
    for (const TVxGraph2D* child : children)
        fresh = fresh || child->FOnce;
    if (fresh && !children.empty()) {
        QImage scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
        QPainter scratchPainter(&scratch);
        std::vector<TVxGraph2D*> stack(children.rbegin(), children.rend());
        stack.push_back(&owner);
        for (TVxGraph2D* g : stack) {
            TFlagScope image(g->FDoingImage, true);
            TFlagScope metafile(g->FDoingMetafile, Vector);
            TFlagScope painting(g->FPainting, true);
            TVxQtSurface surface(scratchPainter);
            g->PaintGr(surface);
        }
    }
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        Painter.translate(0, paintOne(**it));
    paintOne(owner);
}

QImage TVxGraph2D::ExportImage(bool RemoveTransparency, TColor TransparentExchangeColor) {
    const TVxImageExtent extent = CheckedExtent(*this);
    QImage image(extent.Width, extent.Height,
                 RemoveTransparency ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        throw EVxException(QStringLiteral("No memory for an image of %1 x %2 pixels")
                               .arg(extent.Width)
                               .arg(extent.Height));
    if (RemoveTransparency)
        image.fill(QColor::fromRgb(ColorArgb(ToArgb(TransparentExchangeColor)) | 0xFF000000u));
    else
        image.fill(Qt::transparent);
    QPainter painter(&image);
    PaintExport(painter, false);
    painter.end();
    return image;
}

// --- files and streams -----------------------------------------------------------------------

namespace {

QByteArray EncodeVector(TVxGraph2D& Graph, TVxImageFileFormat Format) {
    const TVxImageExtent extent = CheckedExtent(Graph);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPainter painter;
    std::unique_ptr<QSvgGenerator> svg;
    std::unique_ptr<QPdfWriter> pdf;
    if (Format == TVxImageFileFormat::SVG) {
        svg = std::make_unique<QSvgGenerator>();
        svg->setOutputDevice(&buffer);
        svg->setSize(QSize(extent.Width, extent.Height));
        svg->setViewBox(QRect(0, 0, extent.Width, extent.Height));
        svg->setResolution(96);
        svg->setTitle(Graph.CaptionAsString());
        if (!painter.begin(svg.get()))
            throw EVxException(QStringLiteral("The SVG generator could not start"));
    } else {
        pdf = std::make_unique<QPdfWriter>(&buffer);
        pdf->setResolution(96);
        pdf->setTitle(Graph.CaptionAsString());
        // W x H pixels at 96 dpi are 0.75 W x 0.75 H points.
        pdf->setPageLayout(QPageLayout(
            QPageSize(QSizeF(extent.Width * 0.75, extent.Height * 0.75), QPageSize::Point,
                      QString(), QPageSize::ExactMatch),
            QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Point, QMarginsF()));
        if (!painter.begin(pdf.get()))
            throw EVxException(QStringLiteral("The PDF writer could not start"));
    }
    try {
        Graph.PaintExport(painter, true);
    } catch (...) {
        painter.end();
        throw;
    }
    if (!painter.end())
        throw EVxException(
            QStringLiteral("The %1 writer failed").arg(QLatin1String(FormatName(Format))));
    return bytes;
}

QByteArray Encode(TVxGraph2D& Graph, TVxImageFileFormat Format, bool RemoveTransparency,
                  TColor TransparentExchangeColor) {
    CheckFormat(Format);
    if (Format == TVxImageFileFormat::SVG || Format == TVxImageFileFormat::PDF)
        return EncodeVector(Graph, Format);
    const QImage image = Graph.ExportImage(RemoveTransparency, TransparentExchangeColor);
    if (Format == TVxImageFileFormat::GIF)
        return EncodeGif(image);
    if (RemoveTransparency)
        return EncodeRaster(image, Format);
    // The BMP and JPEG writers drop alpha and would show transparent pixels black.
    if (Format == TVxImageFileFormat::BMP || Format == TVxImageFileFormat::JPEG)
        return EncodeRaster(OnWhite(image), Format);
    return EncodeRaster(TransparentWhite(image), Format);
}

} // namespace

void TVxGraph2D::SaveImage(QIODevice& Stream, TVxImageFileFormat Format, bool RemoveTransparency,
                           TColor TransparentExchangeColor) {
    const QByteArray bytes = Encode(*this, Format, RemoveTransparency, TransparentExchangeColor);
    if (Stream.write(bytes) != bytes.size())
        throw EVxException(QStringLiteral("Writing the %1 image failed: %2")
                               .arg(QLatin1String(FormatName(Format)), Stream.errorString()));
}

void TVxGraph2D::SaveImage(const QString& FileName, TVxImageFileFormat Format,
                           bool RemoveTransparency, TColor TransparentExchangeColor) {
    // Encoded completely before the file is touched, then replaced in one step.
    const QByteArray bytes = Encode(*this, Format, RemoveTransparency, TransparentExchangeColor);
    QSaveFile file(FileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw EVxException(
            QStringLiteral("Cannot write the image file %1: %2").arg(FileName, file.errorString()));
}

// --- handing over ----------------------------------------------------------------------------

QPixmap TVxGraph2D::AsTBitmap(TColor TransparentExchangeColor) {
    QPixmap pixmap = QPixmap::fromImage(ExportImage(true, TransparentExchangeColor));
    const QColor exchange =
        QColor::fromRgb(ColorArgb(ToArgb(TransparentExchangeColor)) | 0xFF000000u);
    pixmap.setMask(pixmap.createMaskFromColor(exchange, Qt::MaskInColor));
    return pixmap;
}

QPicture TVxGraph2D::AsTMetafile() {
    const TVxImageExtent extent = CheckedExtent(*this);
    QPicture picture;
    QPainter painter(&picture);
    try {
        PaintExport(painter, true);
    } catch (...) {
        painter.end();
        throw;
    }
    painter.end();
    picture.setBoundingRect(QRect(0, 0, extent.Width, extent.Height));
    return picture;
}

void TVxGraph2D::CopyToClipboard() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw EVxException(QStringLiteral("There is no clipboard without a GUI application"));
    auto mime = std::make_unique<QMimeData>();
    mime->setData(QStringLiteral("image/svg+xml"), EncodeVector(*this, TVxImageFileFormat::SVG));
    mime->setImageData(ExportImage());
    // The clipboard owns the data from here.
    QGuiApplication::clipboard()->setMimeData(mime.release());
}

void TVxGraph2D::PrintTo(QPrinter* APrinter, const QRect& Rect) {
    if (!APrinter)
        return;
    CheckedExtent(*this);
    QPainter painter;
    if (!painter.begin(APrinter))
        throw EVxException(QStringLiteral("The printer could not start printing"));
    try {
        PrintTo(painter, Rect);
    } catch (...) {
        painter.end();
        throw;
    }
    if (!painter.end())
        throw EVxException(QStringLiteral("The printer could not finish printing"));
}

void TVxGraph2D::PrintTo(QPainter& PrinterPainter, const QRect& Rect) {
    const TVxImageExtent extent = CheckedExtent(*this);
    if (Rect.width() <= 0 || Rect.height() <= 0)
        throw EVxException(QStringLiteral("The print rectangle is empty (%1 x %2 pixels)")
                               .arg(Rect.width())
                               .arg(Rect.height()));
    const QPicture picture = AsTMetafile();
    const double ratio = double(extent.Width) / extent.Height;
    const double w = Rect.width();
    const double h = Rect.height();
    double width = w, height = w / ratio, left = Rect.left();
    if (w / h >= ratio) {
        height = h;
        width = h * ratio;
        left = Rect.left() + (w - width) / 2;
    }
    // Playing a picture scales it by the device's resolution over the picture's: undone
    // here, so that W x H picture pixels fill width x height device pixels at any dpi.
    const QPaintDevice* device = PrinterPainter.device();
    const double playX = double(device->logicalDpiX()) / picture.logicalDpiX();
    const double playY = double(device->logicalDpiY()) / picture.logicalDpiY();
    TPainterScope state(PrinterPainter);
    PrinterPainter.translate(left, Rect.top());
    PrinterPainter.scale(width / extent.Width / playX, height / extent.Height / playY);
    PrinterPainter.drawPicture(0, 0, picture);
}
