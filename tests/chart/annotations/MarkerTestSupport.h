#pragma once
// Shared pieces of the marker tests: a 600 x 400 graph whose primary axes show fixed ranges
// (X 0 .. 10, Y 0 .. 100), an undo stack, series on small vectors and mouse helpers.

#include "../captions/CaptionTestSupport.h"
#include "annotations/LineMarker.h"
#include "axes/Axis.h"
#include "graph/Graph.h"
#include "series/Series.h"
#include "undo/UndoStack.h"
#include "util/Application.h"
#include "vectors/DoubleVector.h"

#include <QApplication>
#include <QMouseEvent>
#include <cmath>
#include <gtest/gtest.h>
#include <span>
#include <vector>

/// Caption font size of the tests, in points.
inline constexpr double MarkerPoints = 10;

/// Sends a mouse event to Target as the window system would; true when it was taken.
inline bool SendMarkerMouse(QWidget* Target, QEvent::Type Type, QPointF At, Qt::MouseButton Button,
                            Qt::MouseButtons Buttons, Qt::KeyboardModifiers Modifiers = {}) {
    QMouseEvent event(Type, At, Target->mapToGlobal(At), Button, Buttons, Modifiers);
    return QApplication::sendEvent(Target, &event);
}

inline int Rounded(double Value) {
    return int(std::nearbyint(Value));
}

class MarkerFixture : public ::testing::Test {
protected:
    void SetUp() override {
        Form.setObjectName("MarkerForm");
        TVxApplication::Instance().RegisterForm(&Form);
        Graph = new TVxGraph2D(&Form);
        Graph->setObjectName("Graph");
        Graph->resize(600, 400);
        Graph->TestPrimaryAxis();
        Graph->SetUndoStack(&Undo);
        FixRange(Graph->PrimaryXAxis(), 0, 10);
        FixRange(Graph->PrimaryYAxis(), 0, 100);
        Layout();
    }
    void TearDown() override { TVxApplication::Instance().Unregister(&Form); }

    static void FixRange(TVxAxis* Axis, double Start, double Stop) {
        Axis->SetStartEnd(TVxAxisEnd::Fixed);
        Axis->SetStopEnd(TVxAxisEnd::Fixed);
        Axis->SetStart(Start);
        Axis->SetStop(Stop);
    }
    static void UseTestFont(TVxFont& Font, double Points = MarkerPoints) {
        Font.SetName(TestFamily);
        Font.SetSize(float(Points));
        Font.SetStyle(TVxFontStyles());
    }
    /// Lays the graph and its items out by painting it.
    void Layout() { (void)Graph->PaintToImage(); }
    TVxAxis* XAxis() const { return Graph->PrimaryXAxis(); }
    TVxAxis* YAxis() const { return Graph->PrimaryYAxis(); }
    /// The pixel of a value, rounded as markers round it.
    int XPixel(double Value) const { return Rounded(XAxis()->NumberToWorld(Value)); }
    int YPixel(double Value) const { return Rounded(YAxis()->NumberToWorld(Value)); }
    QRectF Area() const { return Graph->DrawingArea(); }

    /// A point series with visible symbols on new vectors holding Xs and Ys.
    TVxSeries* MakeSeries(const std::vector<double>& Xs, const std::vector<double>& Ys,
                          const QString& Name, TVxAxis* YAxisOf = nullptr) {
        auto* xs = new TVxDoubleVector(&Form);
        auto* ys = new TVxDoubleVector(&Form);
        xs->AddRange(std::span<const double>(Xs));
        ys->AddRange(std::span<const double>(Ys));
        auto* series = new TVxPointSeries(&Form);
        series->setObjectName(Name);
        series->SetXData(xs);
        series->SetYData(ys);
        series->SetXAxis(XAxis());
        series->SetYAxis(YAxisOf ? YAxisOf : YAxis());
        return series;
    }
    /// A press, moves to each of To and a release, with the left button and Modifiers.
    void Drag(QPointF From, const std::vector<QPointF>& To, Qt::KeyboardModifiers Modifiers = {}) {
        SendMarkerMouse(Graph, QEvent::MouseButtonPress, From, Qt::LeftButton, Qt::LeftButton,
                        Modifiers);
        for (QPointF p : To)
            SendMarkerMouse(Graph, QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton, Modifiers);
        SendMarkerMouse(Graph, QEvent::MouseButtonRelease, To.empty() ? From : To.back(),
                        Qt::LeftButton, Qt::NoButton, Modifiers);
    }

    QWidget Form;
    TVxUndoStack Undo{&Form};
    TVxGraph2D* Graph = nullptr;
};
