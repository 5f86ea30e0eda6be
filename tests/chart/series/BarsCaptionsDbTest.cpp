// Bar captions from a field of a real SQLite table (in memory): a NULL field gives an empty
// caption, an edited row is read again before the next layout, a missing field ends the
// binding.

#include "series/Bars.h"
#include "series/SeriesHost.h"
#include "vectors/DoubleVector.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlTableModel>
#include <gtest/gtest.h>
#include <memory>

namespace {

class FakeGraph : public TVxAxisHost, public TVxSeriesHost {
public:
    double LabelFontSize(const TVxAxis&) const override { return 10; }
    QSizeF MeasureLabel(const TVxAxis&, const QString& Text) const override {
        return {6.0 * double(Text.size()), 12.0};
    }
    void AxisModified(TVxAxis&) override {}
    void RegisterSeries(TVxSeries* Series) override {
        if (std::find(List.begin(), List.end(), Series) == List.end())
            List.push_back(Series);
    }
    void UnregisterSeries(TVxSeries* Series) override { std::erase(List, Series); }
    QRectF DrawingArea() const override { return {0, 0, 600, 300}; }
    TVxAxis* PrimaryXAxis() const override { return nullptr; }
    TVxAxis* PrimaryYAxis() const override { return nullptr; }
    TVxUndoStack* HostUndoStack() const override { return nullptr; }
    void SeriesInvalidated(TVxSeries&) override {}
    void SeriesLayoutModified(TVxSeries&) override {}
    void LegendsModified() override {}
    bool HostDestroying() const override { return false; }
    bool Panning() const override { return false; }
    bool DoingImage() const override { return false; }
    bool DoingMetafile() const override { return false; }
    bool AntiAliased() const override { return false; }
    std::vector<TVxSeries*> HostSeries() const override { return List; }
    std::vector<TVxSeries*> List;
};

class BarsCaptionsDbTest : public testing::Test {
protected:
    void SetUp() override {
        Db = QSqlDatabase::addDatabase("QSQLITE", "bars");
        Db.setDatabaseName(":memory:");
        ASSERT_TRUE(Db.open());
        QSqlQuery q(Db);
        ASSERT_TRUE(q.exec("CREATE TABLE classes (name TEXT, n REAL)"));
        ASSERT_TRUE(q.exec("INSERT INTO classes VALUES ('north', 1), (NULL, 2), ('south', 3)"));
        Model = std::make_unique<QSqlTableModel>(nullptr, Db);
        Model->setTable("classes");
        Model->setEditStrategy(QSqlTableModel::OnManualSubmit);
        ASSERT_TRUE(Model->select());
        Source = std::make_unique<TVxDataSource>();
        Source->SetDataSet(Model.get());
        XAxis.SetHost(&Graph);
        YAxis.SetHost(&Graph);
        YAxis.SetPosition(TVxAxisPosition::Left);
        XAxis.SetAxisGeometry(0, 300, 600);
        YAxis.SetAxisGeometry(0, 0, 300);
        XAxis.SetStartStop(0, 3);
        YAxis.SetStartStop(0, 10);
        Y.AddRange(std::vector<double>{1, 2, 3});
        Bars = std::make_unique<TVxBars>();
        Bars->SetXAxis(&XAxis);
        Bars->SetYAxis(&YAxis);
        Bars->SetYData(&Y);
        Bars->SetLabelFrom(TVxLabelStyle::CaptionsList);
        Bars->SetLabelPosition(TVxBarLabelPosition::Centered);
    }
    void TearDown() override {
        Bars.reset();
        Source.reset();
        Model.reset();
        XAxis.SetHost(nullptr);
        YAxis.SetHost(nullptr);
        Db = QSqlDatabase();
        QSqlDatabase::removeDatabase("bars");
    }
    QStringList Labels() {
        Bars->Calculate();
        Bars->EnsurePoints();
        QStringList out;
        for (int k = 0; k < 3; ++k)
            out.append(Bars->LabelAt(k).Text);
        return out;
    }

    QSqlDatabase Db;
    std::unique_ptr<QSqlTableModel> Model;
    std::unique_ptr<TVxDataSource> Source;
    FakeGraph Graph;
    TVxAxis XAxis;
    TVxAxis YAxis;
    TVxDoubleVector Y;
    std::unique_ptr<TVxBars> Bars;
};

TEST_F(BarsCaptionsDbTest, CaptionsComeFromTheFieldAndFollowEdits) {
    Bars->SetDataSource(Source.get());
    Bars->SetCaptionsField("name");
    EXPECT_EQ(Labels(), (QStringList{"north", "", "south"}));
    EXPECT_TRUE(Bars->Captions().isEmpty()); // none while bound
    ASSERT_TRUE(Model->setData(Model->index(1, 0), "middle"));
    EXPECT_EQ(Labels(), (QStringList{"north", "middle", "south"}));
}

TEST_F(BarsCaptionsDbTest, AMissingFieldEndsTheBinding) {
    Bars->SetDataSource(Source.get());
    Bars->SetCaptionsField("nosuch");
    EXPECT_TRUE(Bars->DBData());
    EXPECT_EQ(Labels(), (QStringList{"", "", ""}));
    EXPECT_FALSE(Bars->DBData());
    // Unbound, an own list may be assigned again.
    Bars->SetCaptionsField("");
    EXPECT_NO_THROW(Bars->SetCaptions({"x"}));
    EXPECT_EQ(Labels().front(), "x");
}

TEST_F(BarsCaptionsDbTest, ASourceThatGoesAwayEndsTheBinding) {
    Bars->SetDataSource(Source.get());
    Bars->SetCaptionsField("name");
    Source.reset();
    EXPECT_EQ(Bars->DataSource(), nullptr);
    EXPECT_EQ(Labels(), (QStringList{"", "", ""}));
    EXPECT_FALSE(Bars->DBData());
}

} // namespace
