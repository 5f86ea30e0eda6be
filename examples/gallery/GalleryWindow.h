#pragma once
// The gallery's window: the list of pages, the live chart of the chosen page and beside it
// the page's own source.

#include "GalleryExport.h"

#include <QMainWindow>
#include <memory>

class QListWidget;
class QPlainTextEdit;
class QScrollArea;
class TVxUndoStack;

class TGalleryWindow : public QMainWindow {
public:
    explicit TGalleryWindow(QWidget* Parent = nullptr);
    ~TGalleryWindow() override;

    /// Builds the page in row Row of the list and shows it with its source.
    void ShowPage(int Row);
    /// The undo stack the shown page gave its graph ("Undo"), or nullptr.
    TVxUndoStack* PageUndoStack() const;

private:
    QListWidget* FList;
    QScrollArea* FChartArea;
    QWidget* FChartHolder;
    QPlainTextEdit* FSource;
    std::unique_ptr<TGalleryForm> FForm;
};
