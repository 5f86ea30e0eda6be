#pragma once
// Building gallery pages on forms of their own and exporting them without a window: the
// program's --export and the tests share this.

#include "pages/GalleryPage.h"

#include <QSize>
#include <QWidget>
#include <cstdio>
#include <memory>

class TVxGraph2D;

/// The size every page is built and exported at.
inline constexpr QSize GalleryFormSize(800, 500);

/// A form for one page: named after the page and registered with the application, so that
/// the component paths of its chart resolve; unregistered when destroyed.
class TGalleryForm : public QWidget {
public:
    explicit TGalleryForm(const QString& Name, QSize Size = GalleryFormSize,
                          QWidget* Parent = nullptr);
    ~TGalleryForm() override;
};

/// Builds Page on a new form of Size; passes on what the page raises.
std::unique_ptr<TGalleryForm> BuildGalleryForm(const TGalleryPage& Page,
                                               const TGalleryPageOptions& Options,
                                               QSize Size = GalleryFormSize);

/// The graph an export draws: the form's first graph (graphs sharing its X axis come out
/// stacked with it), or nullptr.
TVxGraph2D* GalleryGraph(const QWidget& Form);

/// Builds Page and writes Folder/NAME.png (SaveImage) and Folder/NAME.pdf. Raises on any
/// failure, also for a library error that was stopped and reported at a Qt boundary while
/// the page was built or painted.
void ExportGalleryPage(const TGalleryPage& Page, const QString& Folder,
                       const TGalleryPageOptions& Options = {});

/// The export command: every page (PageName empty) or the one named, one line a page on
/// Out. Returns 0; 1 after a failure, named with its page on Err; 2 for an unknown page.
int RunGalleryExport(const QString& Folder, const QString& PageName,
                     const TGalleryPageOptions& Options, std::FILE* Out, std::FILE* Err);
