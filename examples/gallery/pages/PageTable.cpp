#include "GalleryPage.h"

// Each page's build function, defined in pages/<Name>.cpp.
// (declarations: one line a page)
void BuildFirstChart(QWidget& form, const TGalleryPageOptions& options);
void BuildRegression(QWidget& form, const TGalleryPageOptions& options);
void BuildBars(QWidget& form, const TGalleryPageOptions& options);
void BuildBars3D(QWidget& form, const TGalleryPageOptions& options);
void BuildErrorBars(QWidget& form, const TGalleryPageOptions& options);
void BuildBubbles(QWidget& form, const TGalleryPageOptions& options);
void BuildArrows(QWidget& form, const TGalleryPageOptions& options);
void BuildPrices(QWidget& form, const TGalleryPageOptions& options);
void BuildSimplexFit(QWidget& form, const TGalleryPageOptions& options);
void BuildSplines(QWidget& form, const TGalleryPageOptions& options);
void BuildMovingAverage(QWidget& form, const TGalleryPageOptions& options);
void BuildSpectrum(QWidget& form, const TGalleryPageOptions& options);
void BuildAreas(QWidget& form, const TGalleryPageOptions& options);
void BuildLegends(QWidget& form, const TGalleryPageOptions& options);
void BuildMarkers(QWidget& form, const TGalleryPageOptions& options);
void BuildRichCaptions(QWidget& form, const TGalleryPageOptions& options);
void BuildAxes(QWidget& form, const TGalleryPageOptions& options);
void BuildZoomPan(QWidget& form, const TGalleryPageOptions& options);
void BuildYearOfReadings(QWidget& form, const TGalleryPageOptions& options);

const std::vector<TGalleryPage>& GalleryPages() {
    static const std::vector<TGalleryPage> pages = {
        // {"Name", "Title", "pages/Name.cpp", &BuildName},
        {"FirstChart", "First chart", "pages/FirstChart.cpp", &BuildFirstChart},
        {"Areas", "Areas, hatches, gradients and bands", "pages/Areas.cpp", &BuildAreas},
        {"ErrorBars", "Points with error bars", "pages/ErrorBars.cpp", &BuildErrorBars},
        {"Bars", "Bars: side by side, stacked, labelled", "pages/Bars.cpp", &BuildBars},
        {"Bars3D", "Bars in 3-D: cuboids and cylinders", "pages/Bars3D.cpp", &BuildBars3D},
        {"Bubbles", "Bubbles", "pages/Bubbles.cpp", &BuildBubbles},
        {"Arrows", "Arrows", "pages/Arrows.cpp", &BuildArrows},
        {"Prices", "Prices: candlesticks and OHLC bars on a date-time axis", "pages/Prices.cpp",
         &BuildPrices},
        {"Regression", "Linear regression and polynomial", "pages/Regression.cpp",
         &BuildRegression},
        {"SimplexFit", "Simplex fit of an expression", "pages/SimplexFit.cpp", &BuildSimplexFit},
        {"Splines", "Splines: Akima, cubic, smoothing; slope and integral", "pages/Splines.cpp",
         &BuildSplines},
        {"MovingAverage", "Moving averages", "pages/MovingAverage.cpp", &BuildMovingAverage},
        {"Spectrum", "Spectrum: DFT amplitude and phase", "pages/Spectrum.cpp", &BuildSpectrum},
        {"Legends", "Legends: docked, floating, merged items", "pages/Legends.cpp", &BuildLegends},
        {"Markers", "Markers: lines, cross-hair, labels with arrows", "pages/Markers.cpp",
         &BuildMarkers},
        {"RichCaptions", "Rich caption markup", "pages/RichCaptions.cpp", &BuildRichCaptions},
        {"Axes", "Axes: logarithmic, date-time, seconds", "pages/Axes.cpp", &BuildAxes},
        {"ZoomPan", "Zoom, panning and scrollbars on two graphs", "pages/ZoomPan.cpp",
         &BuildZoomPan},
        {"YearOfReadings", "A year of readings (10 million points)", "pages/YearOfReadings.cpp",
         &BuildYearOfReadings},
    };
    return pages;
}

const TGalleryPage* FindGalleryPage(const QString& name) {
    for (const TGalleryPage& page : GalleryPages())
        if (page.Name == name)
            return &page;
    return nullptr;
}
