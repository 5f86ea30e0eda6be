#pragma once
// The chart under the log: one graph, a date-time X axis "Time", a numeric Y axis
// "Temperature", one point series on the window's two vectors and one undo stack, composed
// once with the chart's design values. Afterwards the window calls nothing of the chart:
// appends to the vectors reach it through the series, the mouse through the graph.

#include <QRect>

class QWidget;
class TVxAxis;
class TVxDoubleVector;
class TVxGraph2D;
class TVxPointSeries;
class TVxUndoStack;

/// The components of the logger's chart; all of them are owned by the window.
struct TLoggerChart {
    TVxGraph2D* VxGraph2D1 = nullptr;         ///< the chart control
    TVxAxis* XAxis1 = nullptr;                ///< time of day or date, at the bottom
    TVxAxis* YAxis1 = nullptr;                ///< temperature, at the left
    TVxPointSeries* VxPointSeries1 = nullptr; ///< the readings: red line, blue circles
    TVxUndoStack* VxUndoStack1 = nullptr;     ///< the chart's undo stack
};

/// Composes the chart in Window at Geometry over the times (X) and temperatures (Y).
TLoggerChart ComposeLoggerChart(QWidget& Window, const QRect& Geometry, TVxDoubleVector& Times,
                                TVxDoubleVector& Temperatures);
