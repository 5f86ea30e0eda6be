// The gallery's pages of series kinds, built as the gallery builds them and probed where the
// answer is known independently (gallery_kinds_reference.py, closed forms): drawn values at
// the pixel of the fixed axes' linear map, colours inside and beside bars and candle bodies,
// and the live captions in an English and a German locale.

#include "../chart/util/LocaleTable.h"
#include "../chart/util/QStringPrinter.h"
#include "axes/Axis.h"
#include "graph/Graph.h"
#include "pages/GalleryPage.h"
#include "series/FourierSeries.h"
#include "series/OHLC.h"
#include "series/Series.h"
#include "util/Application.h"
#include "vectors/DoubleVector.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace {

/// A page built on an 800 x 500 form named after it and registered, as the gallery does.
struct TPageForm {
    explicit TPageForm(const char* Name) {
        const TGalleryPage* page = FindGalleryPage(QString::fromLatin1(Name));
        EXPECT_NE(page, nullptr) << Name;
        Form = std::make_unique<QWidget>();
        Form->setObjectName(QString::fromLatin1(Name));
        Form->resize(800, 500);
        TVxApplication::Instance().RegisterForm(Form.get());
        if (page != nullptr)
            page->Build(*Form, {});
        Graph = Form->findChild<TVxGraph2D*>();
    }
    ~TPageForm() { TVxApplication::Instance().Unregister(Form.get()); }

    template <typename T> T* Find(const char* Name) const {
        return Form->findChild<T*>(QString::fromLatin1(Name), Qt::FindDirectChildrenOnly);
    }
    /// Paints the chart (laying it out first).
    QImage Paint() const { return Graph->PaintToImage(); }

    /// The pixel of (X, Y) on the primary axes: the data area's first and last pixel hold
    /// the axes' fixed ends, values between map linearly.
    QPointF At(double X, double Y) const { return At(*Graph, X, Y); }
    static QPointF At(const TVxGraph2D& G, double X, double Y) {
        const QRectF da = G.DrawingArea();
        const TVxAxis& x = *G.PrimaryXAxis();
        const TVxAxis& y = *G.PrimaryYAxis();
        return {da.left() + (X - x.Start()) / (x.Stop() - x.Start()) * (da.width() - 1),
                da.top() + (y.Stop() - Y) / (y.Stop() - y.Start()) * (da.height() - 1)};
    }

    std::unique_ptr<QWidget> Form;
    TVxGraph2D* Graph = nullptr;
};

/// Largest channel difference of two colours.
int ColorDistance(QRgb A, QRgb B) {
    return std::max({std::abs(qRed(A) - qRed(B)), std::abs(qGreen(A) - qGreen(B)),
                     std::abs(qBlue(A) - qBlue(B))});
}

/// Some pixel within one pixel of At shows Color (within a little anti-aliasing blend).
bool ShowsNear(const QImage& Image, QPointF At, QRgb Color) {
    const QPoint c(int(std::nearbyint(At.x())), int(std::nearbyint(At.y())));
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (ColorDistance(Image.pixel(c + QPoint(dx, dy)), Color) <= 24)
                return true;
    return false;
}

/// A desktop session in another language: Qt's and the C library's locale, and the
/// library's number settings a program takes from them at start-up.
class TSessionLocale {
public:
    explicit TSessionLocale(const char* Name) : FSwitch(Name), FOld(TVxFormatSettings::Current()) {
        TVxFormatSettings::SetCurrent(TVxFormatSettings::FromLocale(QLocale()));
    }
    ~TSessionLocale() { TVxFormatSettings::SetCurrent(FOld); }

private:
    TLocaleSwitch FSwitch;
    TVxFormatSettings FOld;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Regression

TEST(GalleryRegression, TheStraightLinePassesTheFittedValueAndNothingBesideIt) {
    TPageForm page("Regression");
    ASSERT_NE(page.Graph, nullptr);
    const QImage image = page.Paint();
    auto* line = page.Find<TVxSeries>("Line");
    ASSERT_NE(line, nullptr);
    const QRgb color = QRgb(line->Line()->Color());
    // numpy.polyfit of the rising readings: 2.02 x - 0.02, 7.05 at x = 3.5.
    EXPECT_TRUE(ShowsNear(image, page.At(3.5, 7.05), color));
    // Five pixels above and below the line is empty data area.
    for (double dy : {-5.0, 5.0})
        EXPECT_FALSE(ShowsNear(image, page.At(3.5, 7.05) + QPointF(0, dy), color)) << dy;
}

TEST(GalleryRegression, TheTitleShowsTheFitsInTheUsersLocale) {
    // gallery_kinds_reference.py
    struct TCase {
        const char* Locale;
        const char* Line;
        const char* Parabola;
    };
    const TCase cases[] = {
        {"en_US", "Slope = 2.020, offset = -0.020",
         "Y=a+bX+cX2: a = 12.60, b = -0.028, c = -0.2502"},
        {"de_DE", "Slope = 2,020, offset = -0,020",
         "Y=a+bX+cX2: a = 12,60, b = -0,028, c = -0,2502"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Locale);
        TSessionLocale locale(c.Locale);
        TPageForm page("Regression");
        ASSERT_NE(page.Graph, nullptr);
        page.Paint();
        const QString title = page.Graph->TitleRecord().FText;
        EXPECT_EQ(title.section(QChar(u'\r'), 0, 0), QString::fromLatin1(c.Line));
        EXPECT_EQ(title.section(QChar(u'\r'), 1, 1), QString::fromLatin1(c.Parabola));
    }
}

// ---------------------------------------------------------------------------------------------
// Bars

TEST(GalleryBars, InsideABarItsColourAndJustAboveItTheDataArea) {
    TPageForm page("Bars");
    auto* upper = page.Find<TVxGraph2D>("Graph2");
    auto* lower = page.Find<TVxGraph2D>("Graph1");
    ASSERT_NE(upper, nullptr);
    ASSERT_NE(lower, nullptr);
    // Class k spans k .. k + 1. Side by side, the first series takes the left half of each
    // class; stacked, each bar starts at the sum of the series below.
    struct TProbe {
        TVxGraph2D* Graph;
        const char* Series;
        double X, Inside, Top;
        const char* Above; // the series piled on top, else the data area
    };
    const TProbe probes[] = {
        {upper, "Sales2025", 1.25, 3.5, 7, nullptr}, // 2025, Q2: 7
        {upper, "Sales2026", 3.75, 4.5, 9, nullptr}, // 2026, Q4: 9
        {lower, "Valves", 0.5, 5.5, 8, "Sensors"},   // Q1: 3 + 5, on the pumps
        {lower, "Sensors", 2.5, 9, 12, nullptr},     // Q3: 2 + 4 + 6, on top
    };
    const auto fill = [&](const char* Name) {
        auto* bars = page.Find<TVxSeries>(Name);
        return bars ? QRgb(bars->Area()->ForeColor()) : QRgb(0);
    };
    for (const TProbe& p : probes) {
        SCOPED_TRACE(p.Series);
        const QImage image = p.Graph->PaintToImage();
        const QPoint inside = TPageForm::At(*p.Graph, p.X, p.Inside).toPoint();
        EXPECT_EQ(image.pixel(inside), fill(p.Series));
        // Two pixels above the top edge.
        const QPointF top = TPageForm::At(*p.Graph, p.X, p.Top);
        const QPoint above(int(std::nearbyint(top.x())), int(std::floor(top.y())) - 2);
        EXPECT_EQ(image.pixel(above), p.Above ? fill(p.Above) : QRgb(p.Graph->DataAreaColor()));
    }
}

// ---------------------------------------------------------------------------------------------
// Prices

TEST(GalleryPrices, ARisingAndAFallingCandleFillTheirBodiesInThePagesColours) {
    TPageForm page("Prices");
    ASSERT_NE(page.Graph, nullptr);
    auto* candles = page.Find<TVxCandleSticks>("Northwind");
    auto* day = page.Find<TVxDoubleVector>("NorthwindDay");
    auto* open = page.Find<TVxDoubleVector>("NorthwindOpen");
    auto* close = page.Find<TVxDoubleVector>("NorthwindClose");
    ASSERT_TRUE(candles && day && open && close);
    const QImage image = page.Paint();
    // The day that rose most and the one that fell most: their bodies are many pixels tall.
    int up = -1, down = -1;
    for (int i = 0; i < open->GetCount(); ++i) {
        const double change = close->GetValue(i) - open->GetValue(i);
        if (up < 0 || change > close->GetValue(up) - open->GetValue(up))
            up = i;
        if (down < 0 || change < close->GetValue(down) - open->GetValue(down))
            down = i;
    }
    ASSERT_GT(close->GetValue(up), open->GetValue(up));
    ASSERT_LT(close->GetValue(down), open->GetValue(down));
    for (const auto& [i, color] :
         {std::pair{up, candles->BullColor()}, std::pair{down, candles->BearColor()}}) {
        SCOPED_TRACE(i);
        const double middle = (open->GetValue(i) + close->GetValue(i)) / 2;
        EXPECT_EQ(image.pixel(page.At(day->GetValue(i), middle).toPoint()), QRgb(color));
    }
}

// ---------------------------------------------------------------------------------------------
// Spectrum

TEST(GallerySpectrum, ThePeriodFourCosinePeaksAtAQuarter) {
    TPageForm page("Spectrum");
    ASSERT_NE(page.Graph, nullptr);
    page.Paint();
    auto* spectrum = page.Find<TVxDiscreteFourier>("Spectrum");
    ASSERT_NE(spectrum, nullptr);
    // numpy.fft.rfft of cos(2 pi x / 4), x = 0..7 (gallery_kinds_reference.py): |X_k| is 4 at
    // k = 2 (frequency 0.25) and 0 elsewhere; the series shows |X_k| / (N / 2), k < N / 2.
    const TVxDiscreteFourierCalculation& calc = spectrum->FourierCalculation();
    ASSERT_EQ(calc.PointsN(), 4);
    EXPECT_DOUBLE_EQ(calc.Delta(), 0.125);
    const double expected[] = {0, 0, 1, 0};
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(calc.Spectrum().Amplitude[size_t(k)], expected[k], 1e-12) << k;
    // The highest drawn point of the amplitude line is the pixel of (0.25, 1).
    const std::vector<QPointF>& points = spectrum->Points();
    ASSERT_FALSE(points.empty());
    const QPointF top = *std::min_element(points.begin(), points.end(),
                                          [](QPointF a, QPointF b) { return a.y() < b.y(); });
    const QPointF want = page.At(0.25, 1);
    EXPECT_NEAR(top.x(), want.x(), 1);
    EXPECT_NEAR(top.y(), want.y(), 1);
}
