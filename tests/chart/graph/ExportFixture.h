#pragma once
// The chart the export tests draw: fixed axes 0..20 x 0..10, an opaque background, a
// coloured data area, a vertical major grid, a flat series at y = 2 whose area is filled,
// a rich label with its own background and a vertical marker at x = 12.5; anti-aliasing
// off so that pixels are exact.
//
// Pixel positions follow the axis map: on the X axis the value v lies at
// AxLeft + (v - 0) / (20 - 0) * AxLength, on the Y axis at AxTop + AxLength - v / 10 * AxLength.

#include "annotations/LineMarker.h"
#include "annotations/RichLabel.h"
#include "axes/Axis.h"
#include "axes/AxisLook.h"
#include "graph/Graph.h"
#include "graph/ImageExport.h"
#include "series/Series.h"
#include "styles/AreaSettings.h"
#include "styles/LineSettings.h"
#include "styles/VxFont.h"
#include "vectors/DoubleVector.h"

#include <QImage>
#include <QWidget>
#include <cmath>
#include <gtest/gtest.h>

class ExportFixture : public ::testing::Test {
protected:
    static constexpr QRgb Back = 0xFFF0E0D0;     // graph background
    static constexpr QRgb DataArea = 0xFF3050A0; // data area
    static constexpr QRgb Grid = 0xFF00C000;     // vertical major grid
    static constexpr QRgb LabelBack = 0xFFC02020;
    static constexpr QRgb MarkerLine = 0xFFA000A0;
    static constexpr QRgb HatchFore = 0xFF000000;
    static constexpr QRgb HatchBack = 0xFFFFFF00;
    static constexpr int GraphWidth = 400;
    static constexpr int GraphHeight = 300;

    void SetUp() override {
        Form.resize(700, 900);
        Graph = MakeGraph(Back);
        Graph->setGeometry(0, 0, GraphWidth, GraphHeight);
        Label = new TVxRichLabel(&Form);
        Label->SetAutoSize(false);
        Label->SetCaption(QStringLiteral("x"));
        Label->SetBackColor(TVxColor(LabelBack));
        Label->SetBounds(300, 4, 60, 30);
        Graph->AddItem(Label);
        Marker = new TVxVerticalMarker(&Form);
        Marker->SetXAxis(Graph->PrimaryXAxis());
        Marker->SetX(12.5);
        Marker->SetCaptionVisible(false);
        Marker->Line()->SetColor(TVxColor(MarkerLine));
        Marker->SetHost(Graph);
        for (double x : {0.0, 20.0}) {
            XData.Add(x);
            YData.Add(2);
        }
        Series = new TVxLineSeries(&Form);
        Series->SetXData(&XData);
        Series->SetYData(&YData);
        Series->SetXAxis(Graph->PrimaryXAxis());
        Series->SetYAxis(Graph->PrimaryYAxis());
        Series->Area()->SetVisible(true);
        Series->Area()->SetAreaStyle(TVxAreaStyle::LargeCheckerBoard);
        Series->Area()->SetForeColor(TVxColor(HatchFore));
        Series->Area()->SetBackColor(TVxColor(HatchBack));
        Graph->PaintToImage(); // lays the chart out
    }

    /// A graph on the form with fixed, unrounded axes and the looks above.
    TVxGraph2D* MakeGraph(QRgb Background) {
        auto* g = new TVxGraph2D(&Form);
        g->SetSmoothingMode(TVxSmoothingMode::None);
        g->SetBackColor(TVxColor(Background));
        g->SetDataAreaColor(TVxColor(DataArea));
        g->MajorGridVertical()->SetVisible(true);
        g->MajorGridVertical()->SetColor(TVxColor(Grid));
        g->TestPrimaryAxis();
        FixAxis(*g->PrimaryXAxis(), 0, 20);
        FixAxis(*g->PrimaryYAxis(), 0, 10);
        return g;
    }

    static void FixAxis(TVxAxis& Axis, double Start, double Stop) {
        Axis.SetEndRounding(TVxAxisEndRounding::RndNothing);
        Axis.SetStartEnd(TVxAxisEnd::Fixed);
        Axis.SetStopEnd(TVxAxisEnd::Fixed);
        Axis.SetStart(Start);
        Axis.SetStop(Stop);
    }

    /// Text without anti-aliasing: the chart keeps within a few dozen colours.
    void PlainText() {
        std::vector<TVxFont*> fonts{Graph->CaptionFont(), Label->Font()};
        for (TVxAxis* axis : {Graph->PrimaryXAxis(), Graph->PrimaryYAxis()}) {
            fonts.push_back(AxisLook(*axis).Font());
            fonts.push_back(AxisLook(*axis).CaptionFont());
        }
        for (TVxFont* font : fonts)
            font->SetRenderingHint(TVxTextRenderingHint::SingleBitPerPixel);
    }

    /// The graph pixel of X value V and Y value W (closed form of the linear axis map).
    QPoint At(double V, double W) const {
        const TVxAxis& x = *Graph->PrimaryXAxis();
        const TVxAxis& y = *Graph->PrimaryYAxis();
        const double px = x.AxLeft() + V / 20.0 * x.AxLength();
        const double py = y.AxTop() + y.AxLength() - W / 10.0 * y.AxLength();
        return QPoint(int(std::nearbyint(px)), int(std::nearbyint(py)));
    }

    /// Probe points in graph pixels with the colour each must show.
    struct Probe {
        const char* Name;
        QPoint Point;
        QRgb Color;
        bool Thin; // a one-pixel line over the data area
    };
    std::vector<Probe> Probes() const {
        const QRect label = Label->BoundsRect();
        return {
            {"background corner", QPoint(2, GraphHeight - 3), Back, false},
            {"data area centre", At(10, 5) + QPoint(3, 0), DataArea, false},
            {"grid line at x = 10", At(10, 6), Grid, true},
            {"vertical marker at x = 12.5", At(12.5, 7), MarkerLine, true},
            {"rich label", label.bottomRight() - QPoint(2, 2), LabelBack, false},
        };
    }

    /// Checks every probe of Image, whose pixel (0, 0) is graph pixel Origin.
    void ExpectProbes(const QImage& Image, QPoint Origin = QPoint(), int Tolerance = 0) const {
        for (const Probe& p : Probes()) {
            // Lossy encoders smear one-pixel lines: there only areas are probed.
            if (Tolerance > 0 && p.Thin)
                continue;
            SCOPED_TRACE(p.Name);
            const QPoint at = p.Point - Origin;
            ASSERT_TRUE(Image.rect().contains(at));
            const QRgb got = Image.pixel(at);
            EXPECT_NEAR(qRed(got), qRed(p.Color), Tolerance);
            EXPECT_NEAR(qGreen(got), qGreen(p.Color), Tolerance);
            EXPECT_NEAR(qBlue(got), qBlue(p.Color), Tolerance);
            EXPECT_EQ(qAlpha(got), 255);
        }
    }

    QWidget Form;
    TVxDoubleVector XData{&Form};
    TVxDoubleVector YData{&Form};
    TVxGraph2D* Graph = nullptr;
    TVxLineSeries* Series = nullptr;
    TVxRichLabel* Label = nullptr;
    TVxVerticalMarker* Marker = nullptr;
};
