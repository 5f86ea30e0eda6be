#include "GalleryExport.h"

#include "graph/Graph.h"
#include "graph/ImageExport.h"
#include "util/Application.h"
#include "util/EventGuard.h"
#include "util/Exceptions.h"

#include <QDir>
#include <QStringList>
#include <exception>

namespace {

void Print(std::FILE* File, const QString& Text) {
    const QByteArray bytes = Text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), File);
    std::fflush(File);
}

// Collects what the library stops at a Qt boundary while it lives, so that an export does
// not pass over an error that the window would have shown.
class TBoundaryErrors {
public:
    TBoundaryErrors() {
        SetEventExceptionHandler([this](const QString& Message) { FMessages << Message; });
    }
    ~TBoundaryErrors() { SetEventExceptionHandler({}); }
    TBoundaryErrors(const TBoundaryErrors&) = delete;
    TBoundaryErrors& operator=(const TBoundaryErrors&) = delete;
    void Check() const {
        if (!FMessages.isEmpty())
            throw EVxException(FMessages.join(QStringLiteral("; ")).toStdString());
    }

private:
    QStringList FMessages;
};

} // namespace

TGalleryForm::TGalleryForm(const QString& Name, QSize Size, QWidget* Parent) : QWidget(Parent) {
    setObjectName(Name);
    resize(Size);
    TVxApplication::Instance().RegisterForm(this);
}

TGalleryForm::~TGalleryForm() {
    TVxApplication::Instance().Unregister(this);
}

std::unique_ptr<TGalleryForm> BuildGalleryForm(const TGalleryPage& Page,
                                               const TGalleryPageOptions& Options, QSize Size) {
    auto form = std::make_unique<TGalleryForm>(Page.Name, Size);
    Page.Build(*form, Options);
    return form;
}

TVxGraph2D* GalleryGraph(const QWidget& Form) {
    return Form.findChild<TVxGraph2D*>(QString(), Qt::FindDirectChildrenOnly);
}

void ExportGalleryPage(const TGalleryPage& Page, const QString& Folder,
                       const TGalleryPageOptions& Options) {
    TBoundaryErrors errors;
    std::unique_ptr<TGalleryForm> form = BuildGalleryForm(Page, Options);
    TVxGraph2D* graph = GalleryGraph(*form);
    if (!graph)
        throw EVxException("the page shows no graph");
    errors.Check();
    const QDir folder(Folder);
    graph->SaveImage(folder.filePath(Page.Name + QStringLiteral(".png")), TVxImageFileFormat::PNG);
    errors.Check();
    graph->SaveImage(folder.filePath(Page.Name + QStringLiteral(".pdf")), TVxImageFileFormat::PDF);
    errors.Check();
}

int RunGalleryExport(const QString& Folder, const QString& PageName,
                     const TGalleryPageOptions& Options, std::FILE* Out, std::FILE* Err) {
    std::vector<const TGalleryPage*> pages;
    if (PageName.isEmpty()) {
        for (const TGalleryPage& page : GalleryPages())
            pages.push_back(&page);
    } else if (const TGalleryPage* page = FindGalleryPage(PageName)) {
        pages.push_back(page);
    } else {
        Print(Err, QStringLiteral("gallery: no page \"%1\" (--list names them)\n").arg(PageName));
        return 2;
    }
    // A missing folder is made; one that cannot be made fails at the first write, which
    // names the page and the reason.
    QDir().mkpath(Folder);
    const QDir folder(Folder);
    for (const TGalleryPage* page : pages) {
        try {
            ExportGalleryPage(*page, Folder, Options);
        } catch (const std::exception& e) {
            Print(Err,
                  QStringLiteral("gallery: %1: %2\n").arg(page->Name, QString::fromUtf8(e.what())));
            return 1;
        }
        Print(Out, QStringLiteral("%1: %2 %3\n")
                       .arg(page->Name, folder.filePath(page->Name + QStringLiteral(".png")),
                            folder.filePath(page->Name + QStringLiteral(".pdf"))));
    }
    return 0;
}
