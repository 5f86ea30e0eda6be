#include "GalleryPage.h"

// Each page's build function, defined in pages/<Name>.cpp.
// (declarations: one line a page)
void BuildFirstChart(QWidget& form, const TGalleryPageOptions& options);
void BuildRegression(QWidget& form, const TGalleryPageOptions& options);

const std::vector<TGalleryPage>& GalleryPages() {
    static const std::vector<TGalleryPage> pages = {
        // {"Name", "Title", "pages/Name.cpp", &BuildName},
        {"FirstChart", "First chart", "pages/FirstChart.cpp", &BuildFirstChart},
        {"Regression", "Linear regression and polynomial", "pages/Regression.cpp", &BuildRegression},
    };
    return pages;
}

const TGalleryPage* FindGalleryPage(const QString& name) {
    for (const TGalleryPage& page : GalleryPages())
        if (page.Name == name)
            return &page;
    return nullptr;
}
