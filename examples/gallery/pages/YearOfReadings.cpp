// A year of readings: ten million points (one every three seconds) drawn as a line. The
// chart reduces them to what each pixel column shows, so zooming and panning stay quick.
#include "GalleryPage.h"
#include "axes/Axis.h"
#include "axes/AxisLook.h"
#include "graph/Graph.h"
#include "series/Series.h"
#include "undo/UndoStack.h"
#include "util/DateTime.h"
#include "vectors/DoubleVector.h"

#include <cmath>
#include <random>
#include <vector>

void BuildYearOfReadings(QWidget& form, const TGalleryPageOptions& options) {
    auto* undo = new TVxUndoStack(&form);
    undo->SetName("Undo");
    auto* graph = new TVxGraph2D(&form);
    graph->setObjectName("Graph");
    graph->setGeometry(form.rect());
    graph->SetUndoStack(undo);
    graph->TestPrimaryAxis();
    graph->PrimaryXAxis()->SetScaling(TVxAxisScaling::DateTime);
    AxisLook(*graph->PrimaryXAxis()).SetCaption("2023");
    AxisLook(*graph->PrimaryYAxis()).SetCaption("Temperature (\u00b0C)");

    // Seasons, days and weather: two sines and a seeded random walk, from a fixed start.
    const qsizetype count = options.PointCount > 0 ? options.PointCount : 10'000'000;
    const double step = 365.0 / double(count); // in days
    const TDateTime start = EncodeDateTime(2023, 1, 1);
    std::vector<double> times(static_cast<size_t>(count)), temperatures(times.size());
    std::mt19937_64 random(2023);
    std::normal_distribution<double> gust(0, 0.02);
    double weather = 0;
    for (size_t i = 0; i < times.size(); ++i) {
        const double day = double(i) * step;
        weather = 0.9999 * weather + gust(random);
        times[i] = start + day;
        temperatures[i] = 10 - 8 * std::cos(2 * M_PI * (day - 15) / 365) -
                          4 * std::cos(2 * M_PI * (day - 0.125)) + weather;
    }
    auto* x = new TVxDoubleVector(&form);
    x->SetName("Times");
    x->AddRange(times); // one call: the vector grows once
    auto* y = new TVxDoubleVector(&form);
    y->SetName("Temperatures");
    y->AddRange(temperatures);

    auto* readings = new TVxLineSeries(&form);
    readings->setObjectName("Readings");
    readings->SetXData(x);
    readings->SetYData(y);
    readings->SetXAxis(graph->PrimaryXAxis());
    readings->SetYAxis(graph->PrimaryYAxis());
}
