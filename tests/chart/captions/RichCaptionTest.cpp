#include "captions/RichCaption.h"

#include "CaptionTestSupport.h"
#include "drawing/QtSurface.h"
#include "drawing/RecordingSurface.h"
#include "util/Exceptions.h"
#include "util/VariableRegistries.h"

#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr double Tol = 1e-3;

class RichCaption : public ::testing::Test {
protected:
    void SetUp() override {
        Font.SetName(TestFamily);
        Font.SetSize(12);
        Rec.Font = &Font;
    }
    // The DrawString records of the last paint.
    std::vector<TVxDrawRecord> Strings() const { return Gr.RecordsOf(TVxDrawOp::DrawString); }
    // Where a drawn run's top-left corner lies on the surface.
    static QPointF OnSurface(const TVxDrawRecord& R) { return R.Transform.map(R.Rect.topLeft()); }

    TVxFont Font;
    TVxRichCaptionRec Rec;
    TVxRecordingSurface Gr;
    const TReferenceMetrics Base{12};
    const TReferenceMetrics Script{12 * ScriptSizeFactor};
    const double Pad = SidePadding(12);
};

TEST_F(RichCaption, PlainTextMeasuresLikeTheFontMetrics) {
    struct TCase {
        QString Caption;
        std::vector<QString> Lines; // the runs of each line, in the base font
    };
    const std::vector<TCase> cases = {
        {u"Temperature"_s, {u"Temperature"_s}},
        {u"  blanks kept  "_s, {u"  blanks kept  "_s}},
        {u"12.5"_s, {u"12.5"_s}},
        {u"first line\rsecond"_s, {u"first line"_s, u"second"_s}},
        {u"a\\\\b"_s, {u"a\\b"_s}},
        {u"\r"_s, {QString(), QString()}},
    };
    for (const TCase& c : cases) {
        Rec.Caption = c.Caption;
        Rec.ParseForSize(Gr);
        ASSERT_EQ(Rec.FLineWidth.size(), c.Lines.size()) << c.Caption.toStdString();
        double widest = 0;
        for (std::size_t i = 0; i < c.Lines.size(); ++i) {
            const double expected = Base.Run(c.Lines[i]) + 2 * Pad;
            EXPECT_NEAR(Rec.FLineWidth[i], expected, Tol)
                << c.Caption.toStdString() << " line " << i;
            widest = std::max(widest, expected);
        }
        EXPECT_NEAR(Rec.FWidth, widest, Tol) << c.Caption.toStdString();
        EXPECT_NEAR(Rec.FHeight, double(c.Lines.size()) * Base.LineHeight(), Tol);
        EXPECT_NEAR(Rec.FRightAdj, 2 * Pad, Tol);
    }
}

TEST_F(RichCaption, SuperAndSubscriptAreSmallerAndShifted) {
    Rec.Caption = u"x\\+2\\+ + y\\-i\\-"_s;
    Rec.X = 10;
    Rec.Y = 20;
    Rec.ParseForSize(Gr);
    EXPECT_EQ(Rec.FText, u"x2 + yi"_s);
    const double wx = Base.Run("x"), w2 = Script.Run("2"), wy = Base.Run(" + y"),
                 wi = Script.Run("i");
    // The 0.045 h steps of turning a script on and off cancel.
    EXPECT_NEAR(Rec.FWidth, wx + w2 + wy + wi + 2 * Pad, Tol);

    Rec.PaintGr(Gr);
    const auto runs = Strings();
    ASSERT_EQ(runs.size(), 4u);
    const double h = Base.LineHeight();
    struct TExpect {
        QString Text;
        double Size, X, Y;
    };
    const std::vector<TExpect> expected = {
        {u"x"_s, 12, Pad, 0},
        {u"2"_s, 12 * ScriptSizeFactor, Pad + wx + 0.045 * h, -0.075 * h},
        {u" + y"_s, 12, Pad + wx + w2, 0},
        {u"i"_s, 12 * ScriptSizeFactor, Pad + wx + w2 + wy + 0.045 * h, 0.34 * h},
    };
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].Text, expected[i].Text);
        EXPECT_NEAR(runs[i].Font.Size, expected[i].Size, 1e-5) << i;
        EXPECT_EQ(runs[i].Font.Family, TestFamily);
        EXPECT_NEAR(OnSurface(runs[i]).x(), 10 + expected[i].X, Tol) << i;
        EXPECT_NEAR(OnSurface(runs[i]).y(), 20 + expected[i].Y, Tol) << i;
    }
}

TEST_F(RichCaption, SwitchingScriptsMeasuresAndMovesConsistently) {
    // Subscript straight after superscript: superscript is switched off first.
    Rec.Caption = u"a\\+b\\-c\\-d"_s;
    Rec.ParseForSize(Gr);
    EXPECT_NEAR(Rec.FWidth,
                Base.Run("a") + Script.Run("b") + Script.Run("c") + Base.Run("d") + 2 * Pad, Tol);
    Rec.PaintGr(Gr);
    const auto runs = Strings();
    ASSERT_EQ(runs.size(), 4u);
    const double h = Base.LineHeight();
    EXPECT_NEAR(runs[2].Rect.y(), 0.34 * h, Tol);
    EXPECT_NEAR(runs[2].Rect.x(), Pad + Base.Run("a") + Script.Run("b") + 0.045 * h, Tol);
    EXPECT_NEAR(runs[3].Rect.y(), 0, Tol);
    EXPECT_NEAR(runs[3].Rect.x(), Pad + Base.Run("a") + Script.Run("b") + Script.Run("c"), Tol);
}

TEST_F(RichCaption, StylesAndFontsChangeTheRunFont) {
    Rec.Caption = u"a\\bb\\b\\i\\u\\oc\\f[DejaVu Serif]d\\f[]e\\f[No Such Family Here]f"_s;
    Rec.ParseForSize(Gr);
    const double widths[] = {
        Base.Run("a"),
        TReferenceMetrics(12, true).Run("b"),
        TReferenceMetrics(12, false, true).Run("c"),
        TReferenceMetrics(12, false, true, u"DejaVu Serif"_s).Run("d"),
        TReferenceMetrics(12, false, true).Run("e"),
        TReferenceMetrics(12, false, true, u"Arial"_s).Run("f"),
    };
    double total = 2 * Pad;
    for (double w : widths)
        total += w;
    EXPECT_NEAR(Rec.FWidth, total, Tol);

    Rec.PaintGr(Gr);
    const auto runs = Strings();
    ASSERT_EQ(runs.size(), 6u);
    EXPECT_TRUE(runs[1].Font.Bold);
    EXPECT_FALSE(runs[2].Font.Bold);
    EXPECT_TRUE(runs[2].Font.Italic && runs[2].Font.Underline && runs[2].Font.StrikeOut);
    EXPECT_EQ(runs[3].Font.Family, u"DejaVu Serif"_s);
    EXPECT_EQ(runs[4].Font.Family, TestFamily);
    EXPECT_EQ(runs[5].Font.Family, u"Arial"_s); // an unknown family falls back
    double x = Pad;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_NEAR(runs[i].Rect.x(), x, Tol) << i;
        x += widths[i];
    }
}

TEST_F(RichCaption, LinesOfABlockFollowItsAlignment) {
    Rec.Caption = u"a much wider line\rab"_s;
    Rec.ParseForSize(Gr);
    const double w1 = Base.Run(u"a much wider line"_s) + 2 * Pad, w2 = Base.Run(u"ab"_s) + 2 * Pad;
    const double h = Base.LineHeight();
    struct TCase {
        TVxContentAlignment Align;
        double SecondLineX;
    };
    const std::vector<TCase> cases = {
        {TVxContentAlignment::TopLeft, 0},
        {TVxContentAlignment::TopCenter, (w1 - w2) / 2},
        {TVxContentAlignment::MiddleCenter, (w1 - w2) / 2},
        {TVxContentAlignment::BottomRight, w1 - w2},
        {TVxContentAlignment::MiddleLeft, 0},
    };
    for (const TCase& c : cases) {
        Rec.Align = c.Align;
        Gr.ClearRecords();
        Rec.PaintGr(Gr);
        const auto runs = Strings();
        ASSERT_EQ(runs.size(), 2u);
        EXPECT_NEAR(runs[1].Rect.x(), c.SecondLineX + Pad, Tol) << int(c.Align);
        EXPECT_NEAR(runs[1].Rect.y(), h, Tol);
        EXPECT_NEAR(runs[0].Rect.x(), Pad, Tol); // the widest line fills the block
    }
}

TEST_F(RichCaption, AnchorAndRotation) {
    Rec.Caption = u"Caption"_s;
    Rec.X = 100;
    Rec.Y = 50;
    Rec.ParseForSize(Gr);
    const double w = Rec.FWidth, h = Rec.FHeight;
    struct TCase {
        TVxContentAlignment Align;
        double Fx, Fy; // the anchor as a fraction of the block
    };
    const std::vector<TCase> cases = {
        {TVxContentAlignment::TopLeft, 0, 0},          {TVxContentAlignment::TopCenter, 0.5, 0},
        {TVxContentAlignment::TopRight, 1, 0},         {TVxContentAlignment::MiddleLeft, 0, 0.5},
        {TVxContentAlignment::MiddleCenter, 0.5, 0.5}, {TVxContentAlignment::MiddleRight, 1, 0.5},
        {TVxContentAlignment::BottomLeft, 0, 1},       {TVxContentAlignment::BottomCenter, 0.5, 1},
        {TVxContentAlignment::BottomRight, 1, 1},
    };
    for (const double angle : {0.0, 90.0, 30.0, -135.0}) {
        const double a = angle * M_PI / 180;
        for (const TCase& c : cases) {
            Rec.Angle = float(angle);
            Rec.Align = c.Align;
            Gr.ClearRecords();
            Rec.PaintGr(Gr);
            const TVxMatrix m = Strings().at(0).Transform;
            const QPointF anchor = m.map(QPointF(c.Fx * w, c.Fy * h));
            EXPECT_NEAR(anchor.x(), 100, Tol) << angle << " " << int(c.Align);
            EXPECT_NEAR(anchor.y(), 50, Tol) << angle << " " << int(c.Align);
            // The block's x axis turns counter-clockwise on the screen (y grows downwards).
            const QPointF along = m.map(QPointF(c.Fx * w + 1, c.Fy * h)) - anchor;
            EXPECT_NEAR(along.x(), std::cos(a), 1e-9);
            EXPECT_NEAR(along.y(), -std::sin(a), 1e-9);
        }
    }
    // The surface is left as it was.
    EXPECT_TRUE(Gr.GetTransform().isIdentity());
}

TEST_F(RichCaption, ColoursAndGradient) {
    Font.SetFillColor(MakeColor(255, 0, 0, 128));
    Rec.Caption = u"a\\c[A=255, R=255, G=0, B=0]b\\c[]c\\c[A=255, R=0, G=0, B=128]d"_s;
    Rec.PaintGr(Gr); // measures first
    auto runs = Strings();
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].Brush->Color, MakeColor(255, 0, 0, 128));
    EXPECT_EQ(runs[1].Brush->Color, MakeColor(255, 255, 0, 0));
    EXPECT_EQ(runs[2].Brush->Color, MakeColor(255, 0, 0, 128));

    // With a visible gradient, text in the caption's colour is painted with it over the block.
    Font.Gradient()->SetVisible(true);
    Gr.ClearRecords();
    Rec.PaintGr(Gr);
    runs = Strings();
    EXPECT_EQ(runs[0].Brush->Kind, TVxBrushKind::LinearGradient);
    EXPECT_EQ(*runs[0].Brush, Font.Gradient()->GetBrush(QRectF(0, 0, Rec.FWidth, Rec.FHeight)));
    EXPECT_EQ(runs[1].Brush->Kind, TVxBrushKind::Solid);
    EXPECT_EQ(runs[3].Brush->Kind, TVxBrushKind::LinearGradient);

    // An override colour replaces the font's.
    Font.Gradient()->SetVisible(false);
    Rec.FColorOverride = MakeColor(255, 0, 128, 0);
    Gr.ClearRecords();
    Rec.PaintGr(Gr);
    EXPECT_EQ(Strings()[0].Brush->Color, MakeColor(255, 0, 128, 0));
    EXPECT_EQ(Strings()[3].Brush->Color, MakeColor(255, 0, 0, 128));
}

TEST_F(RichCaption, ShadowCopiesGoDownRightOnTheScreen) {
    Font.SetDrawEffects(TVxCharDrawEffect::Shadow);
    Rec.Caption = u"S\\c[A=255, R=255, G=0, B=0]T"_s;
    Rec.Angle = 90;
    Rec.X = 40;
    Rec.Y = 60;
    Rec.PaintGr(Gr);
    const auto runs = Strings();
    ASSERT_EQ(runs.size(), 12u); // five shadow copies of both runs, then the text
    const QPointF text = OnSurface(runs[10]);
    for (int k = 1; k <= 5; ++k) {
        const auto& copy = runs[std::size_t(2 * (k - 1))];
        EXPECT_EQ(copy.Brush->Color, MakeColor(50, 0, 0, 0));
        const QPointF d = OnSurface(copy) - text;
        EXPECT_NEAR(d.x(), 0.4 * k, Tol) << k;
        EXPECT_NEAR(d.y(), 0.3 * k, Tol) << k;
    }
    EXPECT_EQ(runs[11].Brush->Color, MakeColor(255, 255, 0, 0));
}

TEST_F(RichCaption, OutlineLoweredAndRaised) {
    Rec.Caption = u"Ab"_s;
    Rec.Angle = 90;

    Font.SetDrawEffects(TVxCharDrawEffect::Outline);
    Rec.PaintGr(Gr);
    EXPECT_TRUE(Strings().empty());
    const auto outline = Gr.RecordsOf(TVxDrawOp::DrawPath);
    ASSERT_EQ(outline.size(), 1u);
    EXPECT_EQ(outline[0].Pen->StrokeBrush().Color, Font.FillColor());
    EXPECT_EQ(outline[0].Smoothing, TSmoothingMode::SmoothingModeAntiAlias);
    EXPECT_FALSE(outline[0].Path.IsEmpty());
    EXPECT_EQ(Gr.GetSmoothingMode(), TSmoothingMode::SmoothingModeNone);

    for (const auto effect : {TVxCharDrawEffect::Lowered, TVxCharDrawEffect::Raised}) {
        Font.SetDrawEffects(effect);
        Gr.ClearRecords();
        Rec.PaintGr(Gr);
        const auto fills = Gr.RecordsOf(TVxDrawOp::FillPath);
        ASSERT_EQ(fills.size(), 2u);
        EXPECT_EQ(fills[0].Brush->Color, MakeColor(90, 0, 0, 0));
        EXPECT_EQ(fills[1].Brush->Color, MakeColor(210, 255, 255, 255));
        EXPECT_FALSE(fills[0].Clip.IsInfinite());
        // Dark copy up-left (lowered) or down-right (raised) on the screen, light one opposite.
        const double s = effect == TVxCharDrawEffect::Lowered ? -1 : 1;
        const QRectF both = fills[0].Transform.mapRect(fills[0].Path.Bounds());
        const QRectF lightBox = fills[1].Transform.mapRect(fills[1].Path.Bounds());
        EXPECT_NEAR(both.left() - lightBox.left(), 2 * s, Tol);
        EXPECT_NEAR(both.top() - lightBox.top(), 2 * s, Tol);
        EXPECT_TRUE(Gr.GetClip().IsInfinite()); // the clip is restored
    }
}

TEST_F(RichCaption, MalformedCaptionsNeverRaise) {
    struct TCase {
        QString Caption, Plain;
    };
    const std::vector<TCase> cases = {
        {u"ends in \\"_s, u"ends in "_s},
        {u"\\c[A=1, R=2"_s, u"c[A=1, R=2"_s},
        {u"a\\c[bad]b"_s, u"ab"_s},
        {u"\\c[A=99999999999999999999, R=0, G=0, B=0]x"_s, u"x"_s},
        {u"x<%"_s, u"x<%"_s},
        {u"<%NoSuchVariable%>"_s, u"<%NoSuchVariable%>"_s},
        {u"<%1/0%>"_s, u"<%1/0%>"_s},
        {u"\\f["_s + QString(300, u'z') + u"]"_s, u"f["_s + QString(300, u'z') + u"]"_s},
        {u"\\+\\+\\+\\-\\-\\-\\+"_s, QString()},
    };
    for (const TCase& c : cases) {
        Rec.Caption = c.Caption;
        EXPECT_NO_THROW(Rec.ParseForSize(Gr)) << c.Caption.toStdString();
        EXPECT_EQ(Rec.FText, c.Plain);
        EXPECT_NO_THROW(Rec.PaintGr(Gr));
        EXPECT_TRUE(std::isfinite(Rec.FWidth) && std::isfinite(Rec.FHeight));
    }
}

TEST_F(RichCaption, FontSizesAreClamped) {
    struct TCase {
        float Set;
        double Measured;
    };
    const std::vector<TCase> cases = {{0, MinCaptionFontSize},
                                      {-20, MinCaptionFontSize},
                                      {1e6f, MaxCaptionFontSize},
                                      {0.5f, MinCaptionFontSize}};
    Rec.Caption = u"M"_s;
    for (const TCase& c : cases) {
        Font.SetSize(c.Set);
        Rec.ParseForSize(Gr);
        EXPECT_NEAR(Rec.FSize, c.Measured, 1e-6) << c.Set;
        EXPECT_NEAR(Rec.FHeight, TReferenceMetrics(c.Measured).LineHeight(), Tol) << c.Set;
    }
}

TEST_F(RichCaption, NonFiniteGeometryDrawsNothingOrUnrotated) {
    Rec.Caption = u"x"_s;
    Rec.X = std::numeric_limits<float>::quiet_NaN();
    Rec.PaintGr(Gr);
    EXPECT_TRUE(Strings().empty());
    Rec.X = 5;
    Rec.Angle = std::numeric_limits<float>::infinity();
    Rec.PaintGr(Gr);
    ASSERT_EQ(Strings().size(), 1u);
    EXPECT_NEAR(OnSurface(Strings()[0]).x(), 5 + Pad, Tol);
}

TEST_F(RichCaption, SelfReferencingCaptionIsMeasured) {
    QObject form;
    form.setObjectName("Form1");
    QObject series(&form);
    series.setObjectName("Series1");
    QString caption = u"Cap <%Form1.Series1.Caption%>"_s;
    RegisterStringGetter("Caption", {}, &series, GlobalStringGetters(), [&] { return caption; });
    Rec.Caption = u"<%Form1.Series1.Caption%>"_s;
    Rec.ParseForSize(Gr, &series);
    EXPECT_EQ(Rec.FText, u"Cap <%Form1.Series1.Caption%>"_s);
    UnregisterContainerEverywhere(&series);
}

TEST_F(RichCaption, HintIsRestored) {
    Font.SetRenderingHint(TVxTextRenderingHint::AntiAlias);
    Rec.Caption = u"x"_s;
    Rec.PaintGr(Gr);
    EXPECT_EQ(Strings()[0].TextHint, TVxTextRenderingHint::AntiAlias);
    EXPECT_EQ(Gr.GetTextRenderingHint(), TVxTextRenderingHint::SystemDefault);
}

// Measured on an image and drawn there, the ink stays inside the measured block; a PDF gives
// the same block.
TEST_F(RichCaption, ImageInkLiesInsideTheBlockAndPdfMeasuresAlike) {
    Rec.Caption = u"Temp\\+2\\+ \\bbold\\b\r\\-sub\\- line"_s;
    Rec.X = 30;
    Rec.Y = 20;
    QImage image(400, 120, QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        TVxQtSurface surface(painter);
        Rec.ParseForSize(surface);
        Rec.PaintGr(surface);
    }
    int left = image.width(), right = -1, top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 160) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    ASSERT_GE(right, 0);
    EXPECT_GE(left, 30);
    EXPECT_LE(right, 30 + Rec.FWidth);
    EXPECT_GE(top, 20 - 0.075 * Base.LineHeight() - 1);
    EXPECT_LE(bottom, 20 + Rec.FHeight + 0.34 * Base.LineHeight());
    const double imageWidth = Rec.FWidth, imageHeight = Rec.FHeight;

    QTemporaryDir dir;
    QPdfWriter pdf(dir.filePath("caption.pdf"));
    QPainter painter(&pdf);
    TVxQtSurface surface(painter);
    Rec.ParseForSize(surface);
    EXPECT_NEAR(Rec.FWidth, imageWidth, 0.02 * imageWidth);
    EXPECT_NEAR(Rec.FHeight, imageHeight, 0.02 * imageHeight);
}

TEST(RichCaptionRecVector, GrowsByItsIncrementAndChecksIndices) {
    TVxRichCaptionRecVector list(3);
    EXPECT_EQ(TVxRichCaptionRecVector(0).Increment(), 20);
    TVxRichCaptionRec r;
    for (int i = 0; i < 4; ++i) {
        r.Caption = QString::number(i);
        EXPECT_EQ(list.Add(r), i + 1);
    }
    EXPECT_EQ(list.Capacity(), 6);
    list.Delete(1);
    list.Delete(7);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.GetValue(1).Caption, u"2"_s);
    try {
        list.GetValue(3);
        ADD_FAILURE();
    } catch (const EVxRangeError& e) {
        EXPECT_EQ(e.Message(), u"i=3 index out of range"_s);
    }
    list.SetValue(7, r);
    EXPECT_EQ(list.Count(), 8);
    EXPECT_EQ(list.Capacity(), 9);
    list.SetCount(2);
    EXPECT_EQ(list.Capacity(), 2);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 2);
}

} // namespace
