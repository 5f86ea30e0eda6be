#include "RecordingListener.h"
#include "vectors/DoubleVector.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <gtest/gtest.h>
#include <memory>

// A vector bound to a column of a real SQLite table (in memory).
class DataBindingTest : public ::testing::Test {
protected:
    void SetUp() override {
        Db = QSqlDatabase::addDatabase("QSQLITE", "binding");
        Db.setDatabaseName(":memory:");
        ASSERT_TRUE(Db.open());
        QSqlQuery q(Db);
        ASSERT_TRUE(q.exec("CREATE TABLE readings (t REAL, temp REAL)"));
        ASSERT_TRUE(q.exec("INSERT INTO readings VALUES (1, 20.5), (2, NULL), (3, 22.0)"));
        Model = std::make_unique<QSqlTableModel>(nullptr, Db);
        Model->setTable("readings");
        Model->setEditStrategy(QSqlTableModel::OnManualSubmit);
        ASSERT_TRUE(Model->select());
        Source = std::make_unique<TVxDataSource>();
        Source->SetDataSet(Model.get());
    }
    void TearDown() override {
        Vector.reset();
        Source.reset();
        Model.reset();
        Db = QSqlDatabase();
        QSqlDatabase::removeDatabase("binding");
    }

    std::vector<double> Values() const {
        return {Vector->InternalArray().begin(), Vector->InternalArray().end()};
    }
    void AppendRow(QVariant t, QVariant temp) {
        QSqlRecord record = Model->record();
        record.setValue("t", t);
        record.setValue("temp", temp);
        ASSERT_TRUE(Model->insertRecord(-1, record));
    }

    QSqlDatabase Db;
    std::unique_ptr<QSqlTableModel> Model;
    std::unique_ptr<TVxDataSource> Source;
    std::unique_ptr<TVxDoubleVector> Vector = std::make_unique<TVxDoubleVector>();
};

TEST_F(DataBindingTest, LoadsAFieldWithNullsAsOutliers) {
    RecordingListener series("S", Vector.get());
    Vector->AddRelatedSeries(&series);
    Vector->Add(99);
    Vector->SetDataSource(Source.get());
    Vector->SetDataField("temp");
    EXPECT_TRUE(Vector->DBData());
    EXPECT_EQ(Vector->GetCount(), 0); // binding clears
    Vector->UpdateDB();
    EXPECT_EQ(Values(), (std::vector<double>{20.5, 0, 22.0}));
    EXPECT_TRUE(Vector->IsOutlier(1));
    EXPECT_EQ(Vector->GetMinimum(), 20.5);
    EXPECT_EQ(series.Log->back(), "S.SetLastCount(0)");

    Vector->UpdateDB(); // nothing changed: no reload
    EXPECT_EQ(Vector->GetCount(), 3);
    Vector->RemoveRelatedSeries(&series);
}

TEST_F(DataBindingTest, ReloadsWhenRecordsChangeAndSkipsATrailingNull) {
    Vector->SetDataSource(Source.get());
    Vector->SetDataField("TEMP"); // field names ignore case
    Vector->UpdateDB();
    AppendRow(4, 23.5);
    AppendRow(5, QVariant());
    Vector->UpdateDB();
    EXPECT_EQ(Values(), (std::vector<double>{20.5, 0, 22.0, 23.5}));

    ASSERT_TRUE(Model->setData(Model->index(0, 1), 19.0));
    Vector->UpdateDB();
    EXPECT_EQ(Vector->GetValue(0), 19.0);
}

TEST_F(DataBindingTest, DestroyedSourceUnbindsAndUnknownFieldLoadsNothing) {
    Vector->SetDataSource(Source.get());
    Vector->SetDataField("nosuchfield");
    Vector->UpdateDB();
    EXPECT_EQ(Vector->GetCount(), 0);

    Source.reset();
    EXPECT_EQ(Vector->DataSource(), nullptr);
    EXPECT_FALSE(Vector->DBData());
    Vector->UpdateDB();
    Vector->Add(1);
    EXPECT_EQ(Vector->GetCount(), 1);
}
