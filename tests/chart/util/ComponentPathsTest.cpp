#include "util/ComponentPaths.h"

#include "QStringPrinter.h"
#include "util/Application.h"
#include "util/Component.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A registered form "Form1" owning Graph1 (which owns XAxis1) and an unnamed panel that
// owns Inner; a data module "Data".
class ComponentPathsTest : public ::testing::Test {
protected:
    void SetUp() override {
        FForm = std::make_unique<QObject>();
        FForm->setObjectName("Form1");
        FGraph = new TVxComponent(FForm.get());
        FGraph->SetName("Graph1");
        FAxis = new TVxComponent(FGraph);
        FAxis->SetName("XAxis1");
        auto* panel = new QObject(FForm.get());
        FInner = new TVxComponent(panel);
        FInner->SetName("Inner");
        FModule = std::make_unique<QObject>();
        FModule->setObjectName("Data");
        TVxApplication::Instance().RegisterForm(FForm.get());
        TVxApplication::Instance().RegisterDataModule(FModule.get());
    }

    std::unique_ptr<QObject> FForm, FModule;
    TVxComponent* FGraph = nullptr;
    TVxComponent* FAxis = nullptr;
    TVxComponent* FInner = nullptr;
};

} // namespace

TEST_F(ComponentPathsTest, PathsResolveBothWays) {
    EXPECT_EQ(ComponentPath(FAxis), "Form1.Graph1.XAxis1");
    EXPECT_EQ(ComponentPath(FForm.get()), "Form1");
    EXPECT_EQ(ComponentPath(FInner), "");
    EXPECT_EQ(ComponentPath(nullptr), "");
    EXPECT_EQ(FindComponentByPath(u"Form1.Graph1.XAxis1"), FAxis);
    EXPECT_EQ(FindComponentByPath(u"Form1"), FForm.get());
    EXPECT_EQ(FindComponentByPath(u"Data"), FModule.get());
    for (const char16_t* missing :
         {u"", u"Nope", u"Form1.Nope", u"Form1.Graph1.XAxis1.More", u"Form1..XAxis1", u"Graph1"})
        EXPECT_EQ(FindComponentByPath(missing), nullptr)
            << QString::fromUtf16(missing).toStdString();

    // The application object is not part of a path.
    QObject appOwned(QCoreApplication::instance());
    appOwned.setObjectName("Tool");
    EXPECT_EQ(ComponentPath(&appOwned), "Tool");
}

TEST_F(ComponentPathsTest, DataModulesComeBeforeFormsAndOwnersResolve) {
    QObject moduleNamedLikeForm;
    moduleNamedLikeForm.setObjectName("Form1");
    TVxApplication::Instance().RegisterDataModule(&moduleNamedLikeForm);
    EXPECT_EQ(FindComponentByPath(u"Form1"), &moduleNamedLikeForm);
    TVxApplication::Instance().Unregister(&moduleNamedLikeForm);

    EXPECT_EQ(FindOwnerOfPath(u"Form1.Graph1.XAxis1"), std::optional<QObject*>(FGraph));
    EXPECT_EQ(FindOwnerOfPath(u"Form1"), std::optional<QObject*>(nullptr));
    EXPECT_EQ(FindOwnerOfPath(u"Nope.X"), std::nullopt);

    // A destroyed form no longer resolves.
    FForm.reset();
    EXPECT_EQ(FindComponentByPath(u"Form1.Graph1"), nullptr);
}

TEST_F(ComponentPathsTest, UniqueNamesSkipTakenOnes) {
    EXPECT_EQ(UniqueComponentName(FForm.get(), "Graph"), "Graph2");
    EXPECT_EQ(UniqueComponentName(FForm.get(), "Legend"), "Legend1");
    auto* second = new QObject(FForm.get());
    second->setObjectName("Graph2");
    EXPECT_EQ(UniqueComponentName(FForm.get(), "Graph"), "Graph3");
    EXPECT_EQ(UniqueComponentName(nullptr, "Graph"), "Graph1");
}
