// The gallery's pages of series kinds, built as the gallery builds them and probed where the
// answer is known independently (gallery_kinds_reference.py, closed forms): drawn values at
// the pixel of the fixed axes' linear map, colours inside and beside bars and candle bodies,
// and the live captions in an English and a German locale.

#include "../chart/util/LocaleTable.h"
#include "../chart/util/QStringPrinter.h"
#include "axes/Axis.h"
#include "graph/Graph.h"
#include "pages/GalleryPage.h"
#include "series/Series.h"
#include "util/Application.h"

#include <QImage>
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
    QPointF At(double X, double Y) const {
        const QRectF da = Graph->DrawingArea();
        const TVxAxis& x = *Graph->PrimaryXAxis();
        const TVxAxis& y = *Graph->PrimaryYAxis();
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
