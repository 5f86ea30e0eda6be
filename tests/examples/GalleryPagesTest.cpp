// The whole gallery at once: the program's --export writes every page as a PNG and a
// one-page PDF without a display and reports failures by page; every page's chart, saved
// with its values in the binary stream, XML and ini and loaded into a fresh form, paints
// the same image pixel for pixel.

#include "GalleryExport.h"
#include "GraphContainers.h"
#include "graph/Graph.h"
#include "graph/ImageExport.h"
#include "persistence/IniFile.h"
#include "persistence/XmlCodec.h"
#include "util/EventGuard.h"
#include "util/Exceptions.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <poppler/qt6/poppler-qt6.h>
#include <pugixml.hpp>
#include <set>

namespace {

// The large pages are built with fewer points, so that a sanitizer run stays short.
constexpr qsizetype TestPointCount = 20000;

struct TRun {
    int ExitCode = -1;
    QByteArray Out;
    QByteArray Err;
};

TRun RunGallery(const QStringList& Arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // The program picks the offscreen platform itself: no display is offered.
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    // Qt warns on stderr about a missing runtime folder, which a desktop session provides.
    static QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(GALLERY_PROGRAM), Arguments);
    TRun run;
    if (!process.waitForFinished(600000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.ExitCode = process.exitCode();
    run.Out = process.readAllStandardOutput();
    run.Err = process.readAllStandardError();
    return run;
}

// The data area of the exported stack: the page's first graph lies at the bottom of it.
QRect DataAreaInImage(const TGalleryPage& Page, const QImage& Image) {
    TGalleryPageOptions options;
    options.PointCount = TestPointCount;
    std::unique_ptr<TGalleryForm> form = BuildGalleryForm(Page, options);
    TVxGraph2D* graph = GalleryGraph(*form);
    graph->PaintToImage();
    return graph->DrawingArea().toAlignedRect().translated(0, Image.height() - graph->height());
}

TEST(GalleryExport, EveryPageIsWrittenAsPngAndOnePagePdfWithoutADisplay) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("out"));
    const TRun run = RunGallery({QStringLiteral("--export"), folder,
                                 QStringLiteral("--point-count"), QString::number(TestPointCount)});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(run.Err.toStdString(), "");
    const QList<QByteArray> lines = run.Out.trimmed().split('\n');
    ASSERT_EQ(size_t(lines.size()), GalleryPages().size()) << run.Out.toStdString();
    for (size_t i = 0; i < GalleryPages().size(); ++i) {
        const TGalleryPage& page = GalleryPages()[i];
        SCOPED_TRACE(page.Name.toStdString());
        EXPECT_TRUE(lines[qsizetype(i)].startsWith(page.Name.toUtf8() + ": "));

        const QImage image(QDir(folder).filePath(page.Name + ".png"));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), GalleryFormSize);
        const QRect area = DataAreaInImage(page, image);
        ASSERT_TRUE(image.rect().contains(area)) << area.x() << "," << area.y();
        std::set<QRgb> colours;
        for (int y = area.top(); y <= area.bottom() && colours.size() < 2; ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                colours.insert(image.pixel(x, y));
        EXPECT_GT(colours.size(), 1u) << "a blank data area";

        QFile file(QDir(folder).filePath(page.Name + ".pdf"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray pdf = file.readAll();
        EXPECT_TRUE(pdf.startsWith("%PDF-"));
        EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
        std::unique_ptr<Poppler::Document> doc = Poppler::Document::loadFromData(pdf);
        ASSERT_TRUE(doc);
        EXPECT_EQ(doc->numPages(), 1);
    }
}

TEST(GalleryExport, AFolderThatCannotBeWrittenNamesThePageAndExitsWithOne) {
    QTemporaryDir dir;
    // A regular file stands where the folder's parent should be: no user can write there.
    QFile blocker(dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const TRun run =
        RunGallery({QStringLiteral("--export"), dir.filePath(QStringLiteral("file/out")),
                    QStringLiteral("--page"), QStringLiteral("FirstChart")});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_TRUE(run.Err.startsWith("gallery: FirstChart: Cannot write the image file "))
        << run.Err.toStdString();
    EXPECT_TRUE(run.Err.contains("FirstChart.png")) << run.Err.toStdString();
}

TEST(GalleryExport, AnUnknownPageExitsWithTwoAndWritesNothing) {
    QTemporaryDir dir;
    const TRun run = RunGallery({QStringLiteral("--export"), dir.path(), QStringLiteral("--page"),
                                 QStringLiteral("NoSuchPage")});
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_EQ(run.Err.toStdString(), "gallery: no page \"NoSuchPage\" (--list names them)\n");
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST(GalleryExport, ListNamesEveryPageInTableOrder) {
    const TRun run = RunGallery({QStringLiteral("--list")});
    ASSERT_EQ(run.ExitCode, 0);
    QByteArray expected;
    for (const TGalleryPage& page : GalleryPages())
        expected += page.Name.toUtf8() + '\n';
    EXPECT_EQ(run.Out, expected);
}

TEST(GalleryExport, AnErrorStoppedAtAQtBoundaryFailsThePageWithItsMessage) {
    // A page during whose building the library stops an exception at a Qt boundary (as a
    // paint, slot or poll does) and reports it instead of letting it through.
    const TGalleryPage page{"Stopped", "Stopped", "",
                            [](QWidget& form, const TGalleryPageOptions&) {
                                auto* graph = new TVxGraph2D(&form);
                                graph->setGeometry(form.rect());
                                GuardEvent([] { throw EVxException("i=7 index out of range"); });
                            }};
    QTemporaryDir dir;
    try {
        ExportGalleryPage(page, dir.path());
        ADD_FAILURE() << "no error";
    } catch (const EVxException& e) {
        EXPECT_STREQ(e.what(), "i=7 index out of range");
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

// ---------------------------------------------------------------------------------------------
// Saved and loaded, every page paints the same

using TContainer = TGraphContainer;

// The exported stack as an image (coupled graphs included).
QImage StackImage(TVxGraph2D& Graph) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    Graph.SaveImage(buffer, TVxImageFileFormat::PNG);
    return QImage::fromData(bytes, "PNG").convertToFormat(QImage::Format_ARGB32);
}

QByteArray Save(const TVxGraph2D& Graph, TContainer Container) {
    return SaveGraph(Graph, Container, true, Graph.objectName());
}

void Load(TVxGraph2D& Graph, TContainer Container, QByteArray Bytes) {
    LoadGraph(Graph, Container, std::move(Bytes), Graph.objectName());
}

struct TIdentityCase {
    size_t Page;
    TContainer Container;
};

class GalleryIdentity : public ::testing::TestWithParam<TIdentityCase> {};

TEST_P(GalleryIdentity, TheLoadedChartPaintsTheSameImage) {
    const TGalleryPage& page = GalleryPages()[GetParam().Page];
    const TContainer container = GetParam().Container;
    if (page.UnsavedHandler)
        GTEST_SKIP() << page.Name.toStdString() << ": " << page.UnsavedHandler;
    TGalleryPageOptions options;
    options.PointCount = TestPointCount;

    QImage before;
    std::vector<std::pair<QString, QByteArray>> saved; // each graph of the form, in order
    {
        std::unique_ptr<TGalleryForm> form = BuildGalleryForm(page, options);
        before = StackImage(*GalleryGraph(*form));
        for (TVxGraph2D* graph : form->findChildren<TVxGraph2D*>(Qt::FindDirectChildrenOnly))
            saved.emplace_back(graph->objectName(), Save(*graph, container));
    }
    // A fresh form of the same name, with empty graphs of the same names: what a program
    // that opens the saved chart starts from.
    TGalleryForm fresh(page.Name);
    std::vector<TVxGraph2D*> graphs;
    for (const auto& [name, bytes] : saved) {
        graphs.push_back(new TVxGraph2D(&fresh));
        graphs.back()->setObjectName(name);
    }
    for (size_t i = 0; i < saved.size(); ++i)
        ASSERT_NO_THROW(Load(*graphs[i], container, saved[i].second));
    const QImage after = StackImage(*graphs.front());
    ASSERT_EQ(after.size(), before.size());
    int differing = 0;
    QPoint first(-1, -1);
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (before.pixel(x, y) != after.pixel(x, y) && differing++ == 0)
                first = QPoint(x, y);
    EXPECT_EQ(differing, 0) << "first at " << first.x() << "," << first.y();
}

std::vector<TIdentityCase> IdentityCases() {
    std::vector<TIdentityCase> cases;
    for (size_t i = 0; i < GalleryPages().size(); ++i)
        for (TContainer c : {TContainer::Stream, TContainer::Xml, TContainer::Ini})
            cases.push_back({i, c});
    return cases;
}

std::string IdentityCaseName(const ::testing::TestParamInfo<TIdentityCase>& Info) {
    static const char* const containers[] = {"Stream", "File", "Xml", "Ini"};
    return GalleryPages()[Info.param.Page].Name.toStdString() +
           containers[int(Info.param.Container)];
}

INSTANTIATE_TEST_SUITE_P(Pages, GalleryIdentity, ::testing::ValuesIn(IdentityCases()),
                         IdentityCaseName);

} // namespace
