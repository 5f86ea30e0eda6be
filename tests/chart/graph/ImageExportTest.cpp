// Raster export of a graph: probe pixels of every raster format, transparency and the
// exchange colour, GIF against PNG, stacking of coupled graphs, the scrollbar strip, the
// formats that cannot be encoded, empty extents, failed draws, and the hand-over as pixmap,
// picture and clipboard data.

#include "ExportFixture.h"
#include "graph/GifWriter.h"
#include "util/Exceptions.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QPainter>
#include <QPicture>
#include <QPixmap>
#include <QScrollBar>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <pugixml.hpp>

namespace {

class ImageExportTest : public ExportFixture {
protected:
    QByteArray Save(TVxImageFileFormat Format, bool RemoveTransparency = false,
                    TColor Exchange = 0xFFFFFF) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        Graph->SaveImage(buffer, Format, RemoveTransparency, Exchange);
        return bytes;
    }
    QImage Decode(const QByteArray& Bytes, const char* Format) {
        QImage image = QImage::fromData(Bytes, Format);
        EXPECT_FALSE(image.isNull()) << Format;
        return image.convertToFormat(QImage::Format_ARGB32);
    }
    static QByteArray ReadFile(const QString& Name) {
        QFile f(Name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static void WriteFile(const QString& Name, const QByteArray& Bytes) {
        QFile f(Name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(Bytes);
    }
};

} // namespace

TEST_F(ImageExportTest, EveryRasterFormatShowsTheChartAtItsPixels) {
    struct Case {
        TVxImageFileFormat Format;
        const char* Reader;
        int Tolerance;
    };
    const Case cases[] = {
        {TVxImageFileFormat::PNG, "png", 0},    {TVxImageFileFormat::BMP, "bmp", 0},
        {TVxImageFileFormat::TIFF, "tiff", 0},  {TVxImageFileFormat::GIF, "gif", 0},
        {TVxImageFileFormat::JPEG, "jpeg", 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Reader);
        const QImage image = Decode(Save(c.Format), c.Reader);
        EXPECT_EQ(image.size(), QSize(GraphWidth, GraphHeight));
        ExpectProbes(image, QPoint(), c.Tolerance);
    }
}

TEST_F(ImageExportTest, ATransparentBackgroundStaysTransparentInPngAndGif) {
    Graph->SetBackColor(TVxColor(0x00FFFFFF));
    const QPoint corner(2, GraphHeight - 3);
    for (auto [format, reader] :
         {std::pair{TVxImageFileFormat::PNG, "png"}, std::pair{TVxImageFileFormat::GIF, "gif"},
          std::pair{TVxImageFileFormat::TIFF, "tiff"}}) {
        SCOPED_TRACE(reader);
        const QImage image = Decode(Save(format), reader);
        EXPECT_EQ(qAlpha(image.pixel(corner)), 0);
        EXPECT_EQ(image.pixel(At(10, 5) + QPoint(3, 0)), DataArea);
    }
}

TEST_F(ImageExportTest, OpaqueFormatsShowTheExchangeColourOrWhiteWhereTheChartIsTransparent) {
    PlainText(); // the GIF keeps its exact colours
    Graph->SetBackColor(TVxColor(0x00FFFFFF));
    struct Case {
        TVxImageFileFormat Format;
        const char* Reader;
        bool RemoveTransparency;
        TColor Exchange; // 0x00BBGGRR
        QRgb Corner;
    };
    const Case cases[] = {
        {TVxImageFileFormat::BMP, "bmp", true, 0xFFFFFF, 0xFFFFFFFF},
        {TVxImageFileFormat::BMP, "bmp", true, 0x0000FF, 0xFFFF0000}, // red
        {TVxImageFileFormat::BMP, "bmp", true, 0x804020, 0xFF204080},
        {TVxImageFileFormat::BMP, "bmp", false, 0x0000FF, 0xFFFFFFFF}, // composed onto white
        {TVxImageFileFormat::PNG, "png", true, 0x00FF00, 0xFF00FF00},
        {TVxImageFileFormat::GIF, "gif", true, 0xFF0000, 0xFF0000FF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.Reader << " " << c.RemoveTransparency << " " << std::hex << c.Exchange);
        const QImage image = Decode(Save(c.Format, c.RemoveTransparency, c.Exchange), c.Reader);
        EXPECT_EQ(image.pixel(2, GraphHeight - 3), c.Corner);
        EXPECT_EQ(image.pixel(At(10, 5) + QPoint(3, 0)), DataArea);
    }
    // A JPEG on white: within the encoder's loss.
    const QImage jpeg = Decode(Save(TVxImageFileFormat::JPEG), "jpeg");
    EXPECT_GE(qGray(jpeg.pixel(2, GraphHeight - 3)), 245);
}

TEST_F(ImageExportTest, AGifOfFewColoursEqualsThePngPixelForPixel) {
    PlainText();
    for (QRgb back : {Back, QRgb(0x00FFFFFF)}) {
        SCOPED_TRACE(back);
        Graph->SetBackColor(TVxColor(back));
        const QImage png = Decode(Save(TVxImageFileFormat::PNG), "png");
        QSet<QRgb> colours;
        for (int y = 0; y < png.height(); ++y)
            for (int x = 0; x < png.width(); ++x)
                colours.insert(png.pixel(x, y));
        ASSERT_LE(colours.size(), 256);
        const QImage gif = Decode(Save(TVxImageFileFormat::GIF), "gif");
        ASSERT_EQ(gif.size(), png.size());
        int differing = 0;
        for (int y = 0; y < png.height(); ++y)
            for (int x = 0; x < png.width(); ++x) {
                const QRgb a = png.pixel(x, y), b = gif.pixel(x, y);
                if (qAlpha(a) != qAlpha(b) || (qAlpha(a) != 0 && a != b))
                    ++differing;
            }
        EXPECT_EQ(differing, 0);
    }
}

TEST_F(ImageExportTest, UnencodableFormatsRaiseAndLeaveTheOldFileAndStreamUntouched) {
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("chart.img"));
    const QByteArray old("the old contents");
    WriteFile(name, old);
    const std::pair<TVxImageFileFormat, const char*> cases[] = {
        {TVxImageFileFormat::EMF, "not supported on this platform"},
        {TVxImageFileFormat::EXIF, "No image encoder"},
        {TVxImageFileFormat::Icon, "No image encoder"},
        {TVxImageFileFormat(42), "Unknown image file format 42"},
    };
    for (const auto& [format, message] : cases) {
        SCOPED_TRACE(message);
        try {
            Graph->SaveImage(name, format);
            ADD_FAILURE() << "no exception";
        } catch (const EVxException& e) {
            EXPECT_TRUE(e.Message().contains(QLatin1String(message))) << e.what();
        }
        EXPECT_EQ(ReadFile(name), old);
        QByteArray bytes("kept");
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::Append);
        EXPECT_THROW(Graph->SaveImage(buffer, format), EVxException);
        EXPECT_EQ(bytes, QByteArray("kept"));
    }
    // No temporary file is left beside it either.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("chart.img")});
}

TEST_F(ImageExportTest, ASavedFileIsReplacedWholeAndDecodes) {
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("chart.png"));
    WriteFile(name, QByteArray(100000, 'x'));
    Graph->SaveImage(name, TVxImageFileFormat::PNG);
    const QImage image = Decode(ReadFile(name), "png");
    ExpectProbes(image);
    EXPECT_THROW(Graph->SaveImage(dir.filePath(QStringLiteral("no/such/dir/c.png")),
                                  TVxImageFileFormat::PNG),
                 EVxException);
}

TEST_F(ImageExportTest, AnEmptyExtentRaisesAndWritesNothing) {
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("chart.png"));
    const QByteArray old("the old contents");
    WriteFile(name, old);
    for (QSize size : {QSize(0, 300), QSize(400, 0)}) {
        SCOPED_TRACE(testing::Message() << size.width() << " x " << size.height());
        Graph->resize(size);
        for (TVxImageFileFormat format : {TVxImageFileFormat::PNG, TVxImageFileFormat::GIF,
                                          TVxImageFileFormat::PDF, TVxImageFileFormat::SVG}) {
            try {
                Graph->SaveImage(name, format);
                ADD_FAILURE() << "no exception";
            } catch (const EVxException& e) {
                EXPECT_TRUE(e.Message().contains(QLatin1String("no area to export"))) << e.what();
            }
            EXPECT_EQ(ReadFile(name), old);
        }
        EXPECT_THROW(Graph->ExportImage(), EVxException);
        EXPECT_THROW(Graph->AsTMetafile(), EVxException);
        EXPECT_THROW(Graph->AsTBitmap(), EVxException);
        QPicture target, untouched;
        QPainter painter(&target);
        EXPECT_THROW(Graph->PrintTo(painter, QRect(0, 0, 1000, 1000)), EVxException);
        painter.end();
        QPainter(&untouched).end();
        EXPECT_EQ(QByteArray(target.data(), int(target.size())),
                  QByteArray(untouched.data(), int(untouched.size())));
    }
}

TEST_F(ImageExportTest, AFailedDrawLeavesNoExportStateBehind) {
    TVxAxis* x = Graph->PrimaryXAxis();
    x->OnCalculated = [](TVxAxis*) { throw EVxException("broken layout"); };
    for (TVxImageFileFormat format :
         {TVxImageFileFormat::PNG, TVxImageFileFormat::PDF, TVxImageFileFormat::SVG}) {
        Graph->Modified();
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        EXPECT_THROW(Graph->SaveImage(buffer, format), EVxException);
        EXPECT_TRUE(bytes.isEmpty());
        EXPECT_FALSE(Graph->DoingImage());
        EXPECT_FALSE(Graph->DoingMetafile());
    }
    x->OnCalculated = nullptr;
    Graph->Modified();
    // The screen and the next export paint normally: the world transform was restored.
    ExpectProbes(Graph->PaintToImage().convertToFormat(QImage::Format_ARGB32));
    ExpectProbes(Decode(Save(TVxImageFileFormat::PNG), "png"));
}

TEST_F(ImageExportTest, CoupledGraphsExportAsOneStackedImage) {
    constexpr QRgb UpperBack = 0xFF80FFFF;
    TVxGraph2D* upper = MakeGraph(UpperBack);
    upper->setGeometry(0, 320, GraphWidth, 200);
    TVxAxis* ownX = upper->PrimaryXAxis();
    upper->SetPrimaryXAxis(Graph->PrimaryXAxis());
    upper->RemoveAxis(ownX);
    delete ownX;
    Graph->Modified();
    upper->Modified();
    // From either graph the same image: the graph sharing the X axis on top.
    for (TVxGraph2D* from : {Graph, upper}) {
        const TVxImageExtent e = ImageExtentOf(*from);
        EXPECT_EQ(e.Left, 0);
        EXPECT_EQ(e.Width, GraphWidth);
        EXPECT_EQ(e.Height, GraphHeight + 200);
        const QImage image = from->ExportImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(GraphWidth, GraphHeight + 200));
        EXPECT_EQ(image.pixel(2, 2), UpperBack);
        EXPECT_EQ(image.pixel(2, 197), UpperBack);
        EXPECT_EQ(image.pixel(2, 202), Back);
        ExpectProbes(image.copy(0, 200, GraphWidth, GraphHeight));
    }
    EXPECT_TRUE(Graph->HasChildGraphs());
}

TEST_F(ImageExportTest, TheFirstExportDrawsAStackedGraphsSeriesOnTheRangeTheDataGive) {
    // Nothing painted yet; the shared X axis ranges itself from the owner's series (100 to
    // 150) and the stacked graph's (150 to 200). The stacked graph is drawn first, so the
    // axis must have its range before that.
    constexpr QRgb LineColour = 0xFFE02020;
    QWidget form;
    auto* owner = new TVxGraph2D(&form);
    owner->setGeometry(0, 200, 400, 200);
    owner->TestPrimaryAxis();
    TVxAxis* x = owner->PrimaryXAxis();
    x->SetEndRounding(TVxAxisEndRounding::RndNothing);
    auto* upper = new TVxGraph2D(&form);
    upper->setGeometry(0, 0, 400, 200);
    upper->SetSmoothingMode(TVxSmoothingMode::None);
    upper->SetPrimaryXAxis(x);
    upper->TestPrimaryAxis(); // its own Y axis
    FixAxis(*upper->PrimaryYAxis(), 0, 10);
    TVxDoubleVector xs[2], ys[2];
    TVxGraph2D* graphs[2] = {owner, upper};
    for (int i = 0; i < 2; ++i) {
        for (double v : {100.0 + 50 * i, 150.0 + 50 * i}) {
            xs[i].Add(v);
            ys[i].Add(5);
        }
        auto* flat = new TVxLineSeries(&form);
        flat->SetXData(&xs[i]);
        flat->SetYData(&ys[i]);
        flat->SetXAxis(x);
        flat->SetYAxis(graphs[i]->PrimaryYAxis());
        flat->Line()->SetColor(TVxColor(LineColour));
        flat->Line()->SetWidth(3);
    }

    const QImage image = owner->ExportImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(400, 400));
    EXPECT_EQ(x->Start(), 100);
    EXPECT_EQ(x->Stop(), 200);
    // y = 5 halfway down the upper graph's Y axis; its line covers x = 150 .. 200.
    const TVxAxis& y = *upper->PrimaryYAxis();
    const int row = int(std::nearbyint(y.AxTop() + y.AxLength() / 2));
    for (double share : {0.6, 0.75, 0.9}) {
        const int column = int(std::nearbyint(x->AxLeft() + share * x->AxLength()));
        EXPECT_EQ(image.pixel(column, row), LineColour) << share;
    }
    const int before = int(std::nearbyint(x->AxLeft() + 0.4 * x->AxLength()));
    EXPECT_NE(image.pixel(before, row), LineColour);
}

TEST_F(ImageExportTest, AVisibleVerticalScrollbarIsLeftOutOfTheImage) {
    Form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form));
    Graph->repaint();
    const QRectF da = Graph->DrawingArea();
    // Zooming into the middle cuts both axes: both scrollbars show.
    Graph->ZoomTo(QPoint(int(da.x() + da.width() / 4), int(da.y() + da.height() / 4)),
                  QPoint(int(da.x() + da.width() * 3 / 4), int(da.y() + da.height() * 3 / 4)));
    Graph->repaint();
    QScrollBar& v = *Graph->VScrollBar();
    QScrollBar& h = *Graph->HScrollBar();
    ASSERT_TRUE(v.isVisible());
    ASSERT_TRUE(h.isVisible());
    ASSERT_GT(v.width(), 0);
    const TVxImageExtent e = ImageExtentOf(*Graph);
    EXPECT_EQ(e.Left, v.width());
    EXPECT_EQ(e.Width, GraphWidth - v.width());
    EXPECT_EQ(e.Height, GraphHeight - h.height());
    const QImage image = Decode(Save(TVxImageFileFormat::PNG), "png");
    ASSERT_EQ(image.size(), QSize(e.Width, e.Height));
    // The data area starts right of the strip; the image starts at the strip's end.
    const QRectF zoomed = Graph->DrawingArea();
    ASSERT_GE(zoomed.x(), v.width());
    EXPECT_EQ(image.pixel(int(zoomed.x()) - e.Left + 1, int(zoomed.y()) + 2), DataArea);
    EXPECT_EQ(image.pixel(0, 2), Back);
}

TEST_F(ImageExportTest, TheBitmapIsOpaqueAndItsMaskHidesTheExchangeColour) {
    Graph->SetBackColor(TVxColor(0x00FFFFFF));
    const QPixmap pixmap = Graph->AsTBitmap(0x00FF00); // green in 0x00BBGGRR
    ASSERT_EQ(pixmap.size(), QSize(GraphWidth, GraphHeight));
    const QImage pixels = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage mask = pixmap.mask().toImage();
    const QPoint corner(2, GraphHeight - 3);
    const QPoint inside = At(10, 5) + QPoint(3, 0);
    // Transparent where the exchange colour was, opaque on the chart.
    EXPECT_EQ(qAlpha(pixels.pixel(corner)), 0);
    EXPECT_EQ(pixels.pixel(inside), DataArea);
    EXPECT_NE(mask.pixelIndex(corner), mask.pixelIndex(inside));
}

TEST_F(ImageExportTest, ThePictureReplaysTheChart) {
    const QPicture picture = Graph->AsTMetafile();
    EXPECT_EQ(picture.boundingRect(), QRect(0, 0, GraphWidth, GraphHeight));
    QImage image(GraphWidth, GraphHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.drawPicture(0, 0, picture);
    painter.end();
    ExpectProbes(image);
}

TEST_F(ImageExportTest, TheClipboardHoldsTheSvgAndTheImage) {
    Graph->SetCaption(QStringLiteral("Clipboard title"));
    Graph->SetCaptionVisible(true);
    Graph->CopyToClipboard();
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_TRUE(mime->hasFormat(QStringLiteral("image/svg+xml")));
    ASSERT_TRUE(mime->hasImage());
    const QImage image = qvariant_cast<QImage>(mime->imageData());
    EXPECT_EQ(image.size(), QSize(GraphWidth, GraphHeight));
    const QByteArray svg = mime->data(QStringLiteral("image/svg+xml"));
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_buffer(svg.constData(), std::size_t(svg.size())));
    EXPECT_STREQ(doc.child("svg").attribute("viewBox").value(), "0 0 400 300");
    EXPECT_NE(svg.indexOf("Clipboard title"), -1);
}
