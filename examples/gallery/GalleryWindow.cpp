#include "GalleryWindow.h"

#include "undo/UndoStack.h"
#include "util/EventGuard.h"

#include <QFile>
#include <QFontDatabase>
#include <QKeySequence>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>

TGalleryWindow::TGalleryWindow(QWidget* Parent) : QMainWindow(Parent) {
    setWindowTitle(QStringLiteral("Quenby chart gallery"));
    auto* splitter = new QSplitter(this);
    FList = new QListWidget(splitter);
    for (const TGalleryPage& page : GalleryPages())
        FList->addItem(page.Title);
    FChartArea = new QScrollArea(splitter);
    FChartHolder = new QWidget;
    FChartHolder->setFixedSize(GalleryFormSize);
    FChartArea->setWidget(FChartHolder);
    FSource = new QPlainTextEdit(splitter);
    FSource->setReadOnly(true);
    FSource->setLineWrapMode(QPlainTextEdit::NoWrap);
    FSource->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 0);
    splitter->setStretchFactor(2, 1);
    splitter->setSizes({260, GalleryFormSize.width() + 24, 560});
    setCentralWidget(splitter);
    resize(1680, GalleryFormSize.height() + 80);

    // The library's errors stopped at a Qt boundary (a paint, a drag) show in the status bar.
    SetEventExceptionHandler([this](const QString& Message) { statusBar()->showMessage(Message); });
    auto* undo = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this);
    connect(undo, &QShortcut::activated, this, [this] {
        if (TVxUndoStack* stack = PageUndoStack())
            GuardEvent([stack] { stack->Undo(); });
    });
    auto* redo = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), this);
    connect(redo, &QShortcut::activated, this, [this] {
        if (TVxUndoStack* stack = PageUndoStack())
            GuardEvent([stack] { stack->Redo(); });
    });
    connect(FList, &QListWidget::currentRowChanged, this, &TGalleryWindow::ShowPage);
    if (FList->count() > 0)
        FList->setCurrentRow(0);
}

TGalleryWindow::~TGalleryWindow() {
    SetEventExceptionHandler({});
    FForm.reset();
}

void TGalleryWindow::ShowPage(int Row) {
    if (Row < 0 || size_t(Row) >= GalleryPages().size())
        return;
    const TGalleryPage& page = GalleryPages()[size_t(Row)];
    FForm.reset();
    statusBar()->clearMessage();
    GuardEvent([&] {
        auto form = std::make_unique<TGalleryForm>(page.Name, GalleryFormSize, FChartHolder);
        page.Build(*form, TGalleryPageOptions{});
        form->show();
        FForm = std::move(form);
    });
    QFile source(QStringLiteral(":/") + page.SourceFile);
    FSource->setPlainText(source.open(QIODevice::ReadOnly)
                              ? QString::fromUtf8(source.readAll())
                              : QStringLiteral("(source not embedded: %1)").arg(page.SourceFile));
}

TVxUndoStack* TGalleryWindow::PageUndoStack() const {
    return FForm ? FForm->findChild<TVxUndoStack*>(QStringLiteral("Undo")) : nullptr;
}
