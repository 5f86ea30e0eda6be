// Drawing only the items that are the last to reach a pixel gives the image of drawing them all.
#include "drawing/TopmostSelection.h"

#include "drawing/QtSurface.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

// One drawing call of an item: a fill, an outline or a line.
struct TShape {
    enum { Fill, Outline, Line } Kind = Fill;
    QRectF Rect;
    QPointF A, B;
    TVxPen Pen;
    TVxColor Color = 0;
};

using TItem = std::vector<TShape>;

void Draw(TVxSurface& S, const TItem& Item) {
    for (const TShape& s : Item) {
        switch (s.Kind) {
        case TShape::Fill:
            S.FillRectangle(TVxBrush::SolidBrush(s.Color), s.Rect);
            break;
        case TShape::Outline:
            S.DrawRectangle(s.Pen, s.Rect);
            break;
        case TShape::Line:
            S.DrawLine(s.Pen, s.A, s.B);
            break;
        }
    }
}

void Describe(TVxTopmostSelection& Sel, const TItem& Item) {
    for (const TShape& s : Item) {
        switch (s.Kind) {
        case TShape::Fill:
            Sel.AddFill(s.Rect, GetAlpha(s.Color) == 0xFF);
            break;
        case TShape::Outline:
            Sel.AddOutline(s.Rect, s.Pen);
            break;
        case TShape::Line:
            Sel.AddLine(s.A, s.B, s.Pen);
            break;
        }
    }
}

QImage Render(const std::vector<TItem>& Items, const std::vector<int>& Which, QSize Size,
              const QRect& Clip) {
    QImage image(Size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    TVxQtSurface surface(painter);
    surface.SetSmoothingMode(TSmoothingMode::SmoothingModeNone);
    surface.SetClip(QRectF(Clip.x() - 0.5, Clip.y() - 0.5, Clip.width(), Clip.height()));
    for (int i : Which)
        Draw(surface, Items[static_cast<std::size_t>(i)]);
    return image;
}

std::vector<int> All(std::size_t Count) {
    std::vector<int> all(Count);
    for (std::size_t i = 0; i < Count; ++i)
        all[i] = static_cast<int>(i);
    return all;
}

std::vector<int> Select(const std::vector<TItem>& Items, const QRect& Area) {
    return SelectTopmost(static_cast<int>(Items.size()), Area,
                         [&](int i, TVxTopmostSelection& sel) {
                             Describe(sel, Items[static_cast<std::size_t>(i)]);
                         });
}

TVxPen PenOf(TVxColor Color, float Width, TDashStyle Dash = TDashStyle::DashStyleSolid) {
    TVxPen pen = TVxPen::Solid(Color, Width);
    pen.DashStyle = Dash;
    return pen;
}

// Random items of every kind the selection knows: candle-like bodies with outlines and
// shadows, at whole and fractional positions, opaque and translucent, thin, wide, dashed and
// slanted lines.
std::vector<TItem> RandomItems(int Count, unsigned Seed, QSize Size) {
    std::mt19937 gen(Seed);
    std::uniform_real_distribution<double> ux(-5, Size.width() + 5), uy(-5, Size.height() + 5);
    std::uniform_real_distribution<double> len(0, 12);
    std::uniform_int_distribution<int> pick(0, 9);
    auto coord = [&](double v) {
        const int k = pick(gen);
        return k < 5 ? std::round(v) : k < 7 ? std::round(2 * v) / 2 : v;
    };
    auto colour = [&]() {
        const int c = pick(gen);
        const std::uint8_t alpha = c == 0 ? 0x80 : 0xFF;
        return MakeColor(alpha, static_cast<std::uint8_t>(25 * c), static_cast<std::uint8_t>(gen()),
                         static_cast<std::uint8_t>(255 - 20 * c));
    };
    std::vector<TItem> items;
    for (int i = 0; i < Count; ++i) {
        TItem item;
        const double x = coord(ux(gen)), y = coord(uy(gen));
        const double w = coord(len(gen)), h = coord(len(gen));
        const float width = pick(gen) < 7 ? 1.0f : pick(gen) < 5 ? 0.0f : 2.0f;
        const TDashStyle dash =
            pick(gen) == 0 ? TDashStyle::DashStyleDot : TDashStyle::DashStyleSolid;
        TShape body;
        body.Kind = TShape::Fill;
        body.Rect = QRectF(x - w / 2, y, w, h);
        body.Color = colour();
        item.push_back(body);
        if (pick(gen) < 7) {
            TShape outline;
            outline.Kind = TShape::Outline;
            outline.Rect = body.Rect;
            outline.Pen = PenOf(colour(), width, dash);
            item.push_back(outline);
        }
        TShape shadow;
        shadow.Kind = TShape::Line;
        shadow.Pen = PenOf(colour(), width, dash);
        shadow.A = QPointF(x, y);
        const int slant = pick(gen);
        shadow.B = slant == 0  ? QPointF(x + coord(len(gen)), y - coord(len(gen)))
                   : slant < 5 ? QPointF(x, y - coord(len(gen)))
                               : QPointF(x + coord(len(gen)), y);
        item.push_back(shadow);
        items.push_back(item);
    }
    return items;
}

TEST(TopmostSelection, DrawingTheSelectedItemsGivesTheImageOfDrawingAll) {
    const QSize size(200, 100);
    for (const QRect area : {QRect(0, 0, 200, 100), QRect(30, 20, 120, 50)}) {
        for (unsigned seed : {1u, 2u, 3u}) {
            const std::vector<TItem> items = RandomItems(3000, seed, size);
            const std::vector<int> picked = Select(items, area);
            EXPECT_LT(picked.size(), items.size() * 3 / 4) << "seed " << seed;
            const QImage all = Render(items, All(items.size()), size, area);
            const QImage some = Render(items, picked, size, area);
            EXPECT_TRUE(all == some) << "seed " << seed << " area " << area.x();
        }
    }
}

TEST(TopmostSelection, DenseCandlesOnWholePixels) {
    // Many bodies and one-pixel shadows in few columns, as a chart of many prices draws them.
    const QSize size(200, 100);
    std::mt19937 gen(7);
    std::uniform_real_distribution<double> u(0, 1);
    std::vector<TItem> items;
    double close = 50;
    for (int i = 0; i < 20000; ++i) {
        const double open = close;
        close += 6 * (u(gen) - 0.5);
        close = std::clamp(close, 5.0, 95.0);
        const double x = std::round(3 + 194.0 * i / 20000);
        const double top = std::round(std::min(open, close)),
                     bottom = std::round(std::max(open, close));
        TItem item;
        TShape body;
        body.Kind = TShape::Fill;
        body.Rect = QRectF(x - 3, top, 6, bottom - top);
        body.Color = close > open ? MakeColor(0xFF, 0, 0x80, 0) : MakeColor(0xFF, 0xFF, 0, 0);
        item.push_back(body);
        TShape outline{TShape::Outline, body.Rect, {}, {}, PenOf(VxColor(0xFF000000), 1), 0};
        item.push_back(outline);
        TShape high{TShape::Line, {}, QPointF(x, top), QPointF(x, top - 3), outline.Pen, 0};
        TShape low{TShape::Line, {}, QPointF(x, bottom), QPointF(x, bottom + 3), outline.Pen, 0};
        item.push_back(high);
        item.push_back(low);
        items.push_back(item);
    }
    const QRect area(0, 0, 200, 100);
    const std::vector<int> picked = Select(items, area);
    EXPECT_LT(picked.size(), items.size() / 4);
    EXPECT_TRUE(Render(items, All(items.size()), size, area) == Render(items, picked, size, area));
}

TEST(TopmostSelection, WhatCoversAnItem) {
    const TVxColor opaque = VxColor(0xFF102030), translucent = VxColor(0x80102030);
    struct TCase {
        const char* Name;
        TItem Earlier;
        TItem Later;
        bool EarlierDrawn;
    };
    const TShape fill{TShape::Fill, QRectF(10, 10, 6, 4), {}, {}, {}, opaque};
    auto fillAt = [&](QRectF r, TVxColor c) { return TShape{TShape::Fill, r, {}, {}, {}, c}; };
    auto line = [&](QPointF a, QPointF b, TVxPen p) {
        return TShape{TShape::Line, {}, a, b, p, 0};
    };
    const TVxPen solid = PenOf(opaque, 1);
    const std::vector<TCase> cases = {
        {"same opaque fill", {fill}, {fill}, false},
        {"larger opaque fill", {fill}, {fillAt(QRectF(9, 9, 8, 6), opaque)}, false},
        {"larger translucent fill", {fill}, {fillAt(QRectF(9, 9, 8, 6), translucent)}, true},
        {"fill one pixel short", {fill}, {fillAt(QRectF(11, 9, 6, 6), opaque)}, true},
        {"fill off the pixel grid", {fill}, {fillAt(QRectF(10.001, 10, 6, 4), opaque)}, true},
        {"outside the area", {fillAt(QRectF(-20, 10, 5, 5), opaque)}, {}, false},
        {"line under wide line",
         {line(QPointF(20, 5), QPointF(20, 15), solid)},
         {line(QPointF(20, 3), QPointF(20, 17), PenOf(opaque, 3))},
         false},
        {"line under dashed line",
         {line(QPointF(20, 5), QPointF(20, 15), solid)},
         {line(QPointF(20, 3), QPointF(20, 17), PenOf(opaque, 3, TDashStyle::DashStyleDash))},
         true},
        {"line under slanted line",
         {line(QPointF(20, 5), QPointF(20, 6), solid)},
         {line(QPointF(15, 0), QPointF(25, 11), PenOf(opaque, 9))},
         true},
        {"line beside line",
         {line(QPointF(20, 5), QPointF(20, 15), solid)},
         {line(QPointF(21, 3), QPointF(21, 17), solid)},
         true},
        {"line along a fill's inside",
         {line(QPointF(12, 11), QPointF(14, 11), solid)},
         {fill},
         false},
    };
    for (const TCase& c : cases) {
        const std::vector<TItem> items = {c.Earlier, c.Later};
        const std::vector<int> picked = Select(items, QRect(0, 0, 40, 30));
        const bool earlierDrawn = !picked.empty() && picked.front() == 0;
        EXPECT_EQ(earlierDrawn, c.EarlierDrawn) << c.Name;
        EXPECT_EQ(picked.empty() ? -1 : picked.back(), c.Later.empty() ? -1 : 1) << c.Name;
    }
}

TEST(TopmostSelection, OpaquePixelsOfAFill) {
    TVxTopmostSelection sel;
    sel.Reset(QRect(0, 0, 100, 3));
    sel.BeginItem();
    // Pixel centres at whole coordinates: a fill takes its left edge pixels, not its right ones.
    sel.AddFill(QRectF(60, 0, 9, 3), true);
    EXPECT_TRUE(sel.EndItem());
    std::string row;
    for (int x = 58; x <= 70; ++x)
        row += sel.IsCovered(x, 1) ? '#' : '.';
    EXPECT_EQ(row, "..#########..");
    EXPECT_TRUE(sel.IsCovered(-1, 1)); // outside the area
}

} // namespace
