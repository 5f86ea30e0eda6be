#pragma once
// Shared pieces of the legend tests: a 600 x 400 graph with primary axes, point series on
// small vectors, a legend listing the graph in the fixed test font, and the independent
// metrics of that font straight from Qt.

#include "../captions/CaptionTestSupport.h"
#include "annotations/Legend.h"
#include "graph/Graph.h"
#include "series/Series.h"
#include "undo/UndoStack.h"
#include "util/Application.h"
#include "vectors/DoubleVector.h"

#include <QApplication>
#include <QMouseEvent>
#include <array>
#include <cmath>
#include <gtest/gtest.h>

/// Item caption font size of the tests, in points.
inline constexpr double ItemPoints = 10;

/// Width of a one-line caption in the item font: the run plus the layout's padding.
inline double CaptionWidth(const QString& Text, double Points = ItemPoints, bool Bold = false) {
    return TReferenceMetrics(Points, Bold).Run(Text) + 2 * SidePadding(Points);
}

/// Sends a mouse event to Target as the window system would; true when it was taken.
inline bool SendMouse(QWidget* Target, QEvent::Type Type, QPoint At, Qt::MouseButton Button,
                      Qt::MouseButtons Buttons, Qt::KeyboardModifiers Modifiers = {}) {
    QMouseEvent event(Type, QPointF(At), Target->mapToGlobal(QPointF(At)), Button, Buttons,
                      Modifiers);
    return QApplication::sendEvent(Target, &event);
}

class LegendFixture : public ::testing::Test {
protected:
    void SetUp() override {
        Form.setObjectName("LegendForm");
        TVxApplication::Instance().RegisterForm(&Form);
        Graph = new TVxGraph2D(&Form);
        Graph->setObjectName("Graph");
        Graph->TestPrimaryAxis();
        const std::array<double, 3> xs{1, 2, 3};
        const std::array<double, 3> ys{2, 8, 5};
        XData.AddRange(std::span<const double>(xs));
        YData.AddRange(std::span<const double>(ys));
        Legend = new TVxLegend(&Form);
        Legend->setObjectName("Legend");
        UseTestFont(*Legend->Font(), ItemPoints);
        Legend->SetGraph(Graph);
    }
    void TearDown() override { TVxApplication::Instance().Unregister(&Form); }

    static void UseTestFont(TVxFont& Font, double Points, bool Bold = false) {
        Font.SetName(TestFamily);
        Font.SetSize(float(Points));
        Font.SetStyle(Bold ? TVxFontStyles(TVxFontStyle::Bold) : TVxFontStyles());
    }

    /// A series with a visible line of width 1 (item height 1) and the caption Caption.
    TVxSeries* MakeSeries(const QString& Caption, const QString& Name = {}) {
        auto* series = new TVxLineSeries(&Form);
        if (!Name.isEmpty())
            series->setObjectName(Name);
        series->SetXData(&XData);
        series->SetYData(&YData);
        series->SetXAxis(Graph->PrimaryXAxis());
        series->SetYAxis(Graph->PrimaryYAxis());
        series->SetCaption(Caption);
        return series;
    }

    QWidget Form;
    TVxDoubleVector XData{&Form};
    TVxDoubleVector YData{&Form};
    TVxGraph2D* Graph = nullptr;
    TVxLegend* Legend = nullptr;
};
