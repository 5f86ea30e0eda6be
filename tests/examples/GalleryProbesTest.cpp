// Pixel probes of the pages of general features: where a value must be drawn follows from
// the data area and the closed-form mapping of its axis (within one pixel), the colour from
// what the page set.

#include "GalleryExport.h"
#include "annotations/Legend.h"
#include "axes/Axis.h"
#include "graph/Graph.h"

#include <QImage>
#include <cmath>
#include <gtest/gtest.h>

namespace {

QImage Painted(TVxGraph2D& Graph) {
    return Graph.PaintToImage().convertToFormat(QImage::Format_ARGB32);
}

// Whether Colour is drawn within one pixel of (X, Y).
bool ColourNear(const QImage& Image, double X, double Y, QRgb Colour) {
    const int cx = int(std::lround(X)), cy = int(std::lround(Y));
    for (int y = cy - 1; y <= cy + 1; ++y)
        for (int x = cx - 1; x <= cx + 1; ++x)
            if (Image.valid(x, y) && Image.pixel(x, y) == Colour)
                return true;
    return false;
}

TEST(GalleryProbes, TheDecadesOfTheLogAxisLieAtEqualSharesOfTheDataArea) {
    std::unique_ptr<TGalleryForm> form = BuildGalleryForm(*FindGalleryPage("Axes"), {});
    TVxGraph2D& graph = *GalleryGraph(*form);
    const QImage image = Painted(graph);
    ASSERT_EQ(graph.PrimaryXAxis()->Start(), 1);
    ASSERT_EQ(graph.PrimaryXAxis()->Stop(), 1e4);
    const QRectF da = graph.DrawingArea();
    constexpr QRgb Grid = 0xFF40A040; // the page's major vertical grid
    // (log10(v) - log10(1)) / (log10(1e4) - log10(1)): 100 lies halfway across.
    const struct { double Value, Share; } decades[] = {{10, 0.25}, {100, 0.5}, {1000, 0.75}};
    const double y = da.top() + 0.9 * da.height(); // below the curves there
    for (const auto& d : decades) {
        EXPECT_DOUBLE_EQ(std::log10(d.Value) / 4, d.Share);
        const double x = da.left() + d.Share * da.width();
        EXPECT_TRUE(ColourNear(image, x, y, Grid)) << d.Value << " at " << x;
        EXPECT_FALSE(ColourNear(image, x + 4, y, Grid)) << d.Value;
    }
}

TEST(GalleryProbes, ALegendGlyphIsDrawnInItsSeriesLineColour) {
    std::unique_ptr<TGalleryForm> form = BuildGalleryForm(*FindGalleryPage("Legends"), {});
    TVxGraph2D& graph = *GalleryGraph(*form);
    const QImage image = Painted(graph);
    auto* legend = form->findChild<TVxLegend*>("Docked");
    ASSERT_NE(legend, nullptr);
    // The colours the page gives the two series.
    const struct {
        const char* Series;
        QRgb Colour;
    } items[] = {{"Indoor", 0xFFD62728}, {"Outdoor", 0xFF1F77B4}};
    const std::vector<TVxSeries*> listed = legend->ItemSeries();
    for (const auto& item : items) {
        const auto it = std::find_if(listed.begin(), listed.end(), [&](const TVxSeries* s) {
            return s->objectName() == item.Series;
        });
        ASSERT_NE(it, listed.end()) << item.Series;
        const QRect glyph = legend->ItemRects()[size_t(it - listed.begin())];
        // A line's glyph runs across the middle of its rectangle.
        const double x = legend->Left() + glyph.x() + glyph.width() / 4.0;
        const double y = legend->Top() + glyph.y() + glyph.height() / 2.0;
        EXPECT_TRUE(ColourNear(image, x, y, item.Colour)) << item.Series;
        EXPECT_FALSE(ColourNear(image, x, y - 6, item.Colour)) << item.Series;
    }
}

} // namespace
