// Vector export of a graph, read back by independent readers: SVG parsed with pugixml and
// rendered with QSvgRenderer, PDF read and rendered with Poppler; fills the SVG generator
// cannot keep (hatches, radial gradients) arrive as images; dense series stay small;
// printing places the chart exactly into the rectangle at any printer resolution.

#include "ExportFixture.h"
#include "styles/GradientSettings.h"
#include "util/Exceptions.h"

#include <QBuffer>
#include <QPainter>
#include <QPrinter>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <array>
#include <cmath>
#include <poppler/qt6/poppler-qt6.h>
#include <pugixml.hpp>
#include <random>

namespace {

class ImageExportVectorTest : public ExportFixture {
protected:
    void SetUp() override {
        ExportFixture::SetUp();
        Graph->SetCaption(QStringLiteral("Export title"));
        Graph->SetCaptionVisible(true);
    }

    QByteArray Save(TVxImageFileFormat Format) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        Graph->SaveImage(buffer, Format);
        return bytes;
    }

    static QImage RenderSvg(const QByteArray& Svg, QSize Size) {
        QSvgRenderer renderer(Svg);
        EXPECT_TRUE(renderer.isValid());
        QImage image(Size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(Size)));
        painter.end();
        return image;
    }

    /// A vector line is drawn at its exact position, so it may share two pixel columns:
    /// one of the three around its column must be at least half its colour over the data
    /// area's.
    static void ExpectLineNear(const QImage& Image, QPoint At, QRgb Line) {
        const auto channels = [](QRgb C) {
            return std::array<double, 3>{double(qRed(C)), double(qGreen(C)), double(qBlue(C))};
        };
        const auto line = channels(Line), area = channels(DataArea);
        double best = 0;
        for (int dx = -1; dx <= 1; ++dx) {
            const auto got = channels(Image.pixel(At + QPoint(dx, 0)));
            double dot = 0, norm = 0;
            for (int c = 0; c < 3; ++c) {
                dot += (got[c] - area[c]) * (line[c] - area[c]);
                norm += (line[c] - area[c]) * (line[c] - area[c]);
            }
            best = std::max(best, dot / norm);
        }
        EXPECT_GE(best, 0.45);
    }

    /// The probes, lines checked as vector lines.
    void ExpectVectorProbes(const QImage& Image, int Tolerance) const {
        for (const Probe& p : Probes()) {
            SCOPED_TRACE(p.Name);
            if (p.Thin) {
                ExpectLineNear(Image, p.Point, p.Color);
                continue;
            }
            const QRgb got = Image.pixel(p.Point);
            EXPECT_NEAR(qRed(got), qRed(p.Color), Tolerance);
            EXPECT_NEAR(qGreen(got), qGreen(p.Color), Tolerance);
            EXPECT_NEAR(qBlue(got), qBlue(p.Color), Tolerance);
        }
    }

    /// The hatched band under the series: x 0..20, y 0..2, inset by 2 pixels.
    QRect HatchedBand() const {
        const QPoint a = At(0, 2), b = At(20, 0);
        return QRect(a + QPoint(2, 2), b - QPoint(2, 2));
    }
};

pugi::xml_node FindText(pugi::xml_node Root, const char* Text) {
    return Root.find_node([Text](pugi::xml_node n) {
        return std::string_view(n.name()) == "text" &&
               std::string_view(n.child_value()).find(Text) != std::string_view::npos;
    });
}

} // namespace

TEST_F(ImageExportVectorTest, SvgHasTheSizeTheTitleAsTextAndTheHatchAsAnImage) {
    const QByteArray svg = Save(TVxImageFileFormat::SVG);
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_buffer(svg.constData(), std::size_t(svg.size())));
    const pugi::xml_node root = doc.child("svg");
    EXPECT_STREQ(root.attribute("viewBox").value(), "0 0 400 300");
    // 400 x 300 pixels at 96 dpi in millimetres.
    EXPECT_NEAR(std::stod(root.attribute("width").value()), 400 * 25.4 / 96, 0.01);
    EXPECT_NEAR(std::stod(root.attribute("height").value()), 300 * 25.4 / 96, 0.01);
    EXPECT_TRUE(FindText(root, "Export title"));

    // The hatch is an image covering the band.
    const QRect band = HatchedBand();
    const pugi::xml_node image = root.find_node([&band](pugi::xml_node n) {
        if (std::string_view(n.name()) != "image")
            return false;
        const QRectF r(n.attribute("x").as_double(), n.attribute("y").as_double(),
                       n.attribute("width").as_double(), n.attribute("height").as_double());
        return r.contains(QRectF(band));
    });
    EXPECT_TRUE(image);

    const QImage rendered = RenderSvg(svg, QSize(GraphWidth, GraphHeight));
    ExpectVectorProbes(rendered, 2);
    // A checker board of 4-pixel squares: both colours, half and half in any 8 x 8 block.
    int fore = 0, back = 0;
    for (int y = band.top(); y < band.top() + 8; ++y)
        for (int x = band.left(); x < band.left() + 8; ++x) {
            fore += rendered.pixel(x, y) == HatchFore;
            back += rendered.pixel(x, y) == HatchBack;
        }
    EXPECT_EQ(fore, 32);
    EXPECT_EQ(back, 32);
}

TEST_F(ImageExportVectorTest, SvgRadialGradientKeepsItsPlaceAndShape) {
    // Only the gradient in the data area: grid, marker and series lines are drawn at exact
    // positions in vector output and would differ from the image at their edges.
    Series->SetVisible(false);
    Marker->SetVisible(false);
    Graph->MajorGridVertical()->SetVisible(false);
    TVxGradientSettings& gradient = *Graph->DataAreaGradient();
    gradient.SetStyle(TVxGradientStyle::Radial);
    gradient.SetFirstColor(TVxColor(0xFFFF0000));
    gradient.SetMiddleColor(TVxColor(0xFF00FF00));
    gradient.SetLastColor(TVxColor(0xFF0000FF));
    gradient.SetRadialCenterX(0.3f);
    gradient.SetRadialCenterY(0.7f);
    gradient.SetVisible(true);
    const QImage png = Graph->ExportImage().convertToFormat(QImage::Format_ARGB32);
    const QImage svg = RenderSvg(Save(TVxImageFileFormat::SVG), png.size());
    // Over the data area (grid and series aside) the SVG shows what the image shows.
    const QRectF da = Graph->DrawingArea();
    long long diff = 0, count = 0;
    for (int y = int(da.top()) + 2; y < int(da.bottom()) - 2; y += 3)
        for (int x = int(da.left()) + 2; x < int(da.right()) - 2; x += 3) {
            const QRgb a = png.pixel(x, y), b = svg.pixel(x, y);
            diff += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                    std::abs(qBlue(a) - qBlue(b));
            ++count;
        }
    ASSERT_GT(count, 1000);
    EXPECT_LT(double(diff) / double(count), 0.5);
}

TEST_F(ImageExportVectorTest, PdfHasThePageSizeTheTitleAsTextAndTheChart) {
    const QByteArray pdf = Save(TVxImageFileFormat::PDF);
    std::unique_ptr<Poppler::Document> doc = Poppler::Document::loadFromData(pdf);
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->numPages(), 1);
    std::unique_ptr<Poppler::Page> page = doc->page(0);
    // 96 dpi: W x H pixels are 0.75 W x 0.75 H points.
    EXPECT_NEAR(page->pageSizeF().width(), 400 * 0.75, 0.01);
    EXPECT_NEAR(page->pageSizeF().height(), 300 * 0.75, 0.01);

    QRectF title;
    for (const std::unique_ptr<Poppler::TextBox>& box : page->textList())
        if (box->text() == QLatin1String("Export") || box->text() == QLatin1String("title"))
            title = title.isNull() ? box->boundingBox() : title.united(box->boundingBox());
    ASSERT_FALSE(title.isNull());
    // The words lie inside the title's measured box (points = pixels * 0.75); a centred
    // title's position is the middle of its top edge.
    const QSizeF size = Graph->TitleSize() * 0.75;
    const QPointF top = Graph->TitlePosition() * 0.75;
    const QRectF measured(top.x() - size.width() / 2, top.y(), size.width(), size.height());
    EXPECT_TRUE(measured.adjusted(-1, -1, 1, 1).contains(title))
        << title.x() << "," << title.y() << " " << title.width() << "x" << title.height();
    EXPECT_GT(title.width(), measured.width() * 0.8);

    const QImage rendered = page->renderToImage(96, 96).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(rendered.size(), QSize(GraphWidth, GraphHeight));
    ExpectVectorProbes(rendered, 3);
}

TEST_F(ImageExportVectorTest, DenseSeriesStaySmallInVectorFiles) {
    // 200000 noisy points: one segment per point would take several megabytes.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> noise(0, 10);
    TVxDoubleVector xs(&Form), ys(&Form);
    for (int i = 0; i < 200000; ++i) {
        xs.Add(i * 20.0 / 200000);
        ys.Add(noise(random));
    }
    Series->SetXData(&xs);
    Series->SetYData(&ys);
    Series->Area()->SetVisible(false);
    for (TVxImageFileFormat format : {TVxImageFileFormat::SVG, TVxImageFileFormat::PDF}) {
        const QByteArray bytes = Save(format);
        EXPECT_LT(bytes.size(), 512 * 1024) << int(format);
    }
}

TEST_F(ImageExportVectorTest, PrintingFillsExactlyTheShapedRectangleAtAnyResolution) {
    QTemporaryDir dir;
    // Rectangles at 300 dpi (scaled for 1200) and where the 4 : 3 chart must lie.
    struct Case {
        QRect Target;
        QRectF Chart;
    };
    const Case cases[] = {
        {QRect(300, 600, 1500, 300), QRectF(850, 600, 400, 300)}, // wider: centred
        {QRect(300, 600, 600, 1500), QRectF(300, 600, 600, 450)}, // taller: left edge
        {QRect(120, 90, 800, 600), QRectF(120, 90, 800, 600)},    // the same shape
    };
    constexpr double RenderDpi = 100;
    for (int dpi : {300, 1200}) {
        const double k = dpi / 300.0;
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message()
                         << dpi << " dpi, target " << c.Target.width() << "x" << c.Target.height());
            const QString name = dir.filePath(QStringLiteral("print.pdf"));
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(name);
            printer.setResolution(dpi);
            printer.setPageMargins(QMarginsF(0, 0, 0, 0));
            const QRect target(QPoint(int(c.Target.x() * k), int(c.Target.y() * k)),
                               QSize(int(c.Target.width() * k), int(c.Target.height() * k)));
            Graph->PrintTo(&printer, target);

            std::unique_ptr<Poppler::Document> doc = Poppler::Document::load(name);
            ASSERT_TRUE(doc);
            const QImage page = doc->page(0)->renderToImage(RenderDpi, RenderDpi);
            // The chart's opaque background marks its extent on the white page.
            int l = page.width(), t = page.height(), r = -1, b = -1;
            for (int y = 0; y < page.height(); ++y)
                for (int x = 0; x < page.width(); ++x)
                    if (page.pixel(x, y) != 0xFFFFFFFF) {
                        l = std::min(l, x);
                        r = std::max(r, x);
                        t = std::min(t, y);
                        b = std::max(b, y);
                    }
            const double s = RenderDpi / 300.0;
            const QRectF want(c.Chart.x() * s, c.Chart.y() * s, c.Chart.width() * s,
                              c.Chart.height() * s);
            EXPECT_NEAR(l, want.left(), 1.5);
            EXPECT_NEAR(t, want.top(), 1.5);
            EXPECT_NEAR(r + 1, want.right(), 1.5);
            EXPECT_NEAR(b + 1, want.bottom(), 1.5);
            // Inside, the chart at its scale: the data area where the probe lies.
            const double scale = want.width() / GraphWidth;
            const QPointF probe = At(10, 5) + QPoint(3, 0);
            const QRgb inside = page.pixel(int(want.left() + probe.x() * scale),
                                           int(want.top() + probe.y() * scale));
            EXPECT_NEAR(qBlue(inside), qBlue(DataArea), 8);
            EXPECT_NEAR(qRed(inside), qRed(DataArea), 8);
        }
    }
    // Without a printer nothing happens.
    EXPECT_NO_THROW(Graph->PrintTo(static_cast<QPrinter*>(nullptr), QRect(0, 0, 100, 100)));
}
