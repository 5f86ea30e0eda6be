#include "RecordingListener.h"
#include "vectors/DoubleVector.h"

#include <gtest/gtest.h>

using Log = std::vector<std::string>;

class VectorNotificationTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (double x : {1.0, 2.0, 3.0})
            Vector.Add(x);
        Vector.GetSum(); // fold, so that later changes hit folded values
        A.Log = &Messages;
        B.Log = &Messages;
        Vector.AddRelatedSeries(&A);
        Vector.AddRelatedSeries(&B);
        Vector.AddRelatedSeries(&A); // registering twice keeps one entry
    }

    TVxDoubleVector Vector;
    RecordingListener A{"A", &Vector}; // reads the vector as Y
    RecordingListener B{"B"};          // reads it as X
    Log Messages;
};

TEST_F(VectorNotificationTest, StoredValuesSendTheChangeMessage) {
    Vector.Add(4);
    Vector.SetValue(1, 2.5);
    Vector.SetValue(1, 2.5); // unchanged folded value: silent
    EXPECT_EQ(Messages, (Log{"A.PointsModified", "B.PointsModified", "A.PointsModified",
                             "B.PointsModified"}));
}

TEST_F(VectorNotificationTest, ChangingAFoldedExtremeSendsTheResetMessage) {
    Vector.SetValue(2, 0.5);
    EXPECT_EQ(Messages, (Log{"A.SetLastCount(0)", "B.SetLastCount(0)"}));
    EXPECT_EQ(Vector.GetMaximum(), 2);
}

TEST_F(VectorNotificationTest, InsertAndDeleteTellLinkedMarkersOfTheYSeriesOnly) {
    Vector.Insert(1, 7);
    Vector.Delete(0);
    Vector.Delete(0, false);
    EXPECT_EQ(Messages,
              (Log{"A.PointsModified", "B.PointsModified", "A.ValueInsertedLinkedMarkers(1)",
                   "A.DeleteLinkedMarkers(0)", "A.SetLastCount(0)", "B.SetLastCount(0)",
                   "A.SetLastCount(0)", "B.SetLastCount(0)"}));
}

TEST_F(VectorNotificationTest, ClearAndOutliersAndBulkLoads) {
    Vector.AddOutlier(1);
    Vector.AddOutlier(1); // already marked: silent
    Vector.ClearOutlieres();
    const double more[] = {5, 6};
    Vector.AddRange(std::span<const double>(more));
    Vector.Clear();
    Vector.Clear(false);
    EXPECT_EQ(Messages, (Log{"A.SetLastCount(0)", "B.SetLastCount(0)", "A.SetLastCount(0)",
                             "B.SetLastCount(0)", "A.SetLastCount(0)", "B.SetLastCount(0)",
                             "A.ClearLinkedMarkers", "A.RangesModified", "B.RangesModified",
                             "A.RangesModified", "B.RangesModified"}));
}

TEST_F(VectorNotificationTest, UnregisteredSeriesHearNothing) {
    Vector.RemoveRelatedSeries(&A);
    Vector.Add(9);
    EXPECT_EQ(Messages, Log{"B.PointsModified"});
}

// A series computed from all the data reacts to the change message by starting over.
TEST(VectorNotification, FunctionSeriesRecomputesFromScratchOnChange) {
    struct FunctionSeries : RecordingListener {
        using RecordingListener::RecordingListener;
        void VectorChanged() override { SetLastCount(0); }
    } series("F");
    TVxDoubleVector vector;
    vector.AddRelatedSeries(&series);
    vector.Add(1);
    EXPECT_EQ(*series.Log, Log{"F.SetLastCount(0)"});
}
