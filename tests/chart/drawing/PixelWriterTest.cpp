// Rectangles and one-pixel lines written straight into an image take the pixels the painter's
// aliased rasteriser takes.
#include "drawing/PixelWriter.h"

#include "drawing/QtSurface.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr TVxColor Ink = MakeColor(0xFF, 0x20, 0x40, 0x60);

// The rows of Image as text, '#' where the ink is.
std::vector<std::string> Rows(const QImage& Image) {
    std::vector<std::string> rows;
    for (int y = 0; y < Image.height(); ++y) {
        std::string row;
        for (int x = 0; x < Image.width(); ++x)
            row += Image.pixel(x, y) == QRgb(Ink) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

TEST(PixelWriter, TakesThePixelsOfTheAliasedRules) {
    // Pixel centres on whole coordinates: a fill takes the centres inside it, its left and top
    // edge included; a line takes the pixels after its smaller end up to its larger one.
    struct TCase {
        const char* Name;
        int Kind;              // 0 fill, 1 line, 2 outline
        double P0, P1, P2, P3; // rectangle (x, y, width, height) or line (x0, y0, x1, y1)
        bool Taken;
        std::vector<std::string> Expected;
    };
    const std::vector<std::string> none = {"......", "......", "......", "......", "......"};
    // clang-format off
    const std::vector<TCase> cases = {
        {"fill", 0, 1, 1, 4, 2, true, {"......", ".####.", ".####.", "......", "......"}},
        {"fill given right to left", 0, 5, 3, -4, -2, true,
         {"......", ".####.", ".####.", "......", "......"}},
        {"fill off the grid", 0, 1.5, 1, 3, 2, false, none},
        {"fill to the image's edge", 0, 1, 1, 5, 2, false, none},
        {"horizontal line", 1, 4, 2, 1, 2, true, {"......", "......", "..###.", "......", "......"}},
        {"vertical line", 1, 3, 0, 3, 3, true, {"......", "...#..", "...#..", "...#..", "......"}},
        {"line to the image's edge", 1, 3, 0, 3, 4, false, none},
        {"line of no length", 1, 3, 2, 3, 2, false, none},
        {"slanted line", 1, 1, 1, 3, 3, false, none},
        {"line off the grid", 1, 1, 1.5, 3, 1.5, false, none},
        {"outline", 2, 1, 1, 3, 2, true, {"......", ".####.", ".#..#.", ".####.", "......"}},
        {"flat outline", 2, 1, 1, 3, 0, false, none},
    };
    // clang-format on
    for (const TCase& c : cases) {
        QImage image(6, 5, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        // Shapes reaching the image's edge pixels are declined.
        TVxPixelWriter writer(image, image.rect(), QPoint(0, 0));
        const QRectF rect(c.P0, c.P1, c.P2, c.P3);
        const bool taken = c.Kind == 0 ? writer.Fill(rect, Ink)
                           : c.Kind == 1
                               ? writer.Line(QPointF(c.P0, c.P1), QPointF(c.P2, c.P3), Ink)
                               : writer.Outline(rect, Ink);
        EXPECT_EQ(taken, c.Taken) << c.Name;
        EXPECT_EQ(Rows(image), c.Expected) << c.Name;
    }
}

TEST(PixelWriter, ClipAndOffset) {
    QImage image(6, 5, QImage::Format_RGB32);
    image.fill(Qt::white);
    // World (0, 0) shows at pixel (1, 1); nothing outside the columns 2..3.
    TVxPixelWriter writer(image, QRect(2, 0, 2, 5), QPoint(1, 1));
    EXPECT_TRUE(writer.Fill(QRectF(0, 0, 4, 2), Ink));
    EXPECT_EQ(Rows(image),
              (std::vector<std::string>{"......", "..##..", "..##..", "......", "......"}));
}

// One shape of the comparison: a fill, an outline, a line or a list of lines.
struct TShape {
    int Kind = 0;
    QRectF Rect;
    std::vector<QLineF> Lines;
    TVxColor Color = Ink;
};

void Draw(TVxSurface& S, const TShape& Shape) {
    const TVxPen pen = TVxPen::Solid(Shape.Color, 1);
    switch (Shape.Kind) {
    case 0:
        S.FillRectangle(TVxBrush::SolidBrush(Shape.Color), Shape.Rect);
        break;
    case 1:
        S.DrawRectangle(pen, Shape.Rect);
        break;
    case 2:
        S.DrawLine(pen, Shape.Lines.front().p1(), Shape.Lines.front().p2());
        break;
    default:
        S.DrawLineList(pen, Shape.Lines);
        break;
    }
}

QImage Render(const std::vector<TShape>& Shapes, QImage::Format Format, const QRectF& Clip,
              QPointF Shift, bool Direct) {
    QImage image(60, 40, Format);
    image.fill(Qt::white);
    QPainter painter(&image);
    TVxQtSurface surface(painter);
    surface.SetDirectPixels(Direct);
    surface.SetSmoothingMode(TSmoothingMode::SmoothingModeNone);
    surface.SetTransform(QTransform::fromTranslate(Shift.x(), Shift.y()));
    if (!Clip.isEmpty())
        surface.SetClip(Clip);
    for (const TShape& s : Shapes)
        Draw(surface, s);
    return image;
}

TEST(PixelWriter, TheSurfaceDrawsTheSamePixelsStraightAndThroughThePainter) {
    // Random shapes on whole, half and other coordinates, opaque and translucent, under clips
    // and shifts of every kind: those the writer takes and those it leaves to the painter.
    std::mt19937 gen(11);
    std::uniform_real_distribution<double> ux(-5, 65), uy(-5, 45), len(0, 15);
    std::uniform_int_distribution<int> pick(0, 9);
    auto coord = [&](double v) {
        const int k = pick(gen);
        return k < 6 ? std::round(v) : k < 8 ? std::round(2 * v) / 2 : v;
    };
    auto colour = [&] {
        return MakeColor(pick(gen) == 0 ? 0x80 : 0xFF, std::uint8_t(gen()), std::uint8_t(gen()),
                         std::uint8_t(gen()));
    };
    auto line = [&] {
        const double x = coord(ux(gen)), y = coord(uy(gen)), l = coord(len(gen));
        const int dir = pick(gen);
        return dir < 4   ? QLineF(x, y, x + l, y)
               : dir < 8 ? QLineF(x, y, x, y - l)
                         : QLineF(x, y, x + l, y + coord(len(gen)));
    };
    std::vector<TShape> shapes;
    for (int i = 0; i < 400; ++i) {
        TShape s;
        s.Kind = i % 4;
        s.Color = colour();
        s.Rect = QRectF(coord(ux(gen)), coord(uy(gen)), coord(len(gen)), coord(len(gen)));
        // Half the lists only of lines the writer takes: the painter's pixels of such a list
        // are compared with the writer's as a whole.
        const bool whole = s.Kind == 3 && pick(gen) < 5;
        for (int k = s.Kind == 3 ? 6 : 1; k > 0; --k) {
            QLineF l = line();
            if (whole)
                l = QLineF(std::round(l.x1()), std::round(l.y1()), std::round(l.x1()) + 1 + k,
                           std::round(l.y1()));
            if (whole && k % 2 == 0)
                l = QLineF(l.x1(), l.y1(), l.x1(), l.y1() - 1 - k);
            s.Lines.push_back(l);
        }
        shapes.push_back(s);
    }
    const QRectF clips[] = {QRectF(), QRectF(5, 4, 40, 30), QRectF(4.5, 3.5, 41, 31),
                            QRectF(5.3, 4.7, 40.2, 29.9), QRectF(5.01, 4, 40, 30.02)};
    const QPointF shifts[] = {QPointF(0, 0), QPointF(3, -2), QPointF(0.5, 0)};
    for (const QImage::Format format :
         {QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB32}) {
        for (const QRectF& clip : clips) {
            for (const QPointF& shift : shifts) {
                const QImage direct = Render(shapes, format, clip, shift, true);
                const QImage painted = Render(shapes, format, clip, shift, false);
                EXPECT_TRUE(direct == painted)
                    << "format " << format << " clip " << clip.x() << " shift " << shift.x();
            }
        }
    }
}

TEST(PixelWriter, ImagesLaidOverStraightAndThroughThePainterAlike) {
    // Small premultiplied images of every alpha at whole and fractional places, as symbol
    // sprites are stamped, with and without anti-aliasing, under clips and shifts.
    std::mt19937 gen(5);
    std::uniform_int_distribution<int> byte(0, 255), pick(0, 3);
    std::uniform_real_distribution<double> ux(-8, 62), uy(-8, 42);
    std::vector<QImage> sprites;
    for (int i = 0; i < 6; ++i) {
        QImage sprite(3 + i, 7 - i / 2, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < sprite.height(); ++y)
            for (int x = 0; x < sprite.width(); ++x) {
                const int kind = pick(gen);
                const int a = kind == 0 ? 0 : kind == 1 ? 255 : byte(gen);
                sprite.setPixel(
                    x, y, qRgba(byte(gen) * a / 255, byte(gen) * a / 255, byte(gen) * a / 255, a));
            }
        sprites.push_back(sprite);
    }
    std::vector<QPointF> places;
    for (int i = 0; i < 300; ++i) {
        const double x = ux(gen), y = uy(gen);
        places.emplace_back(pick(gen) == 0 ? std::round(x) : std::round(8 * x) / 8,
                            pick(gen) == 0 ? std::round(y) : std::round(8 * y) / 8);
    }
    auto render = [&](QImage::Format Format, const QRectF& Clip, QPointF Shift, bool Smooth,
                      bool Direct) {
        QImage image(60, 40, Format);
        image.fill(QColor(40, 90, 160));
        QPainter painter(&image);
        TVxQtSurface surface(painter);
        surface.SetDirectPixels(Direct);
        surface.SetSmoothingMode(Smooth ? TSmoothingMode::SmoothingModeAntiAlias
                                        : TSmoothingMode::SmoothingModeNone);
        surface.SetTransform(QTransform::fromTranslate(Shift.x(), Shift.y()));
        if (!Clip.isEmpty())
            surface.SetClip(Clip);
        for (std::size_t i = 0; i < places.size(); ++i)
            surface.DrawImage(sprites[i % sprites.size()], places[i]);
        return image;
    };
    for (const QImage::Format format : {QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB32})
        for (const QRectF& clip : {QRectF(), QRectF(4.5, 3.5, 41, 31)})
            for (const QPointF& shift : {QPointF(0, 0), QPointF(2, -3)})
                for (const bool smooth : {false, true})
                    EXPECT_TRUE(render(format, clip, shift, smooth, true) ==
                                render(format, clip, shift, smooth, false))
                        << "format " << format << " clip " << clip.x() << " shift " << shift.x()
                        << " smooth " << smooth;
}

} // namespace
