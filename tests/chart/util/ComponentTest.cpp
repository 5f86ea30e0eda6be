#include "util/Component.h"

#include "QStringPrinter.h"
#include "util/Application.h"

#include <QPointer>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Keeps one reference and drops it when told that the target is going away.
class Referrer : public TVxComponent {
public:
    using TVxComponent::TVxComponent;
    TVxComponent* Target = nullptr;
    int Notices = 0;

    void SetTarget(TVxComponent* ATarget) {
        if (Target != nullptr)
            RemoveFreeNotification(Target);
        Target = ATarget;
        FreeNotification(Target);
    }

protected:
    void Notification(TVxComponent* AComponent, TVxOperation Operation) override {
        ++Notices;
        if (Operation == TVxOperation::opRemove && AComponent == Target)
            Target = nullptr;
    }
};

} // namespace

TEST(ComponentTest, NameIsObjectNameAndOwnerIsParent) {
    QObject form;
    auto* component = new TVxComponent(&form);
    component->SetName("Vector1");
    EXPECT_EQ(component->objectName(), "Vector1");
    EXPECT_EQ(component->Owner(), &form);
    EXPECT_EQ(form.findChild<TVxComponent*>("Vector1"), component);
}

TEST(ComponentTest, ReferrerIsToldWhenTargetDiesInEitherOrder) {
    Referrer referrer;
    {
        TVxComponent target;
        referrer.SetTarget(&target);
    }
    EXPECT_EQ(referrer.Target, nullptr);
    EXPECT_EQ(referrer.Notices, 1);

    // The notice is mutual: a dying referrer unregisters from its target, so the
    // target's later death notifies nobody stale (ASan would catch the dangling call).
    auto target = std::make_unique<Referrer>();
    {
        Referrer shortLived;
        shortLived.SetTarget(target.get());
    }
    target.reset();
}

TEST(ComponentTest, WithdrawnNoticeIsNotSent) {
    Referrer referrer;
    auto target = std::make_unique<TVxComponent>();
    referrer.SetTarget(target.get());
    referrer.SetTarget(nullptr);
    target.reset();
    EXPECT_EQ(referrer.Notices, 0);
}

TEST(ApplicationTest, FormsAndDataModulesInOrderAndGoneWhenDestroyed) {
    auto& app = TVxApplication::Instance();
    auto first = std::make_unique<QObject>();
    QObject second, module;
    app.RegisterForm(first.get());
    app.RegisterForm(&second);
    app.RegisterForm(&second);
    app.RegisterDataModule(&module);
    EXPECT_EQ(app.Forms(), (QList<QObject*>{first.get(), &second}));
    EXPECT_EQ(app.DataModules(), QList<QObject*>{&module});
    first.reset();
    EXPECT_EQ(app.Forms(), QList<QObject*>{&second});
    app.Unregister(&second);
    app.Unregister(&module);
    EXPECT_TRUE(app.Forms().isEmpty());
    EXPECT_TRUE(app.DataModules().isEmpty());
}
