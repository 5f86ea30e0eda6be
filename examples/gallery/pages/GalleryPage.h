#pragma once

#include <QString>
#include <QWidget>

#include <vector>

// What the caller may ask of a page. PointCount 0 keeps the page's own count; tests lower
// the count of the large pages.
struct TGalleryPageOptions {
    qsizetype PointCount = 0;
};

// One page of the gallery: the function that builds its chart on the form it is given.
// Everything the page creates is owned by the form and named, so that it saves and loads.
struct TGalleryPage {
    QString Name;        // file names of the export and --page: "FirstChart"
    QString Title;       // the list in the window: "First chart"
    QString SourceFile;  // the page's own source, embedded: "pages/FirstChart.cpp"
    void (*Build)(QWidget& form, const TGalleryPageOptions& options);
    // A handler the page sets that no chart record holds (so a saved and loaded chart paints
    // differently), said in a few words; nullptr when the chart saves and loads whole.
    const char* UnsavedHandler = nullptr;
};

// Every page, in the order the window lists them.
const std::vector<TGalleryPage>& GalleryPages();

// The page of that name, or nullptr.
const TGalleryPage* FindGalleryPage(const QString& name);
