#include "vectors/Indexer.h"

#include "vectors/DoubleVector.h"

#include <gtest/gtest.h>
#include <memory>

TEST(IndexerTest, MirrorsTheReferenceVector) {
    TVxDoubleVector vector;
    TVxIndexer indexer;
    indexer.SetRefVector(&vector);
    EXPECT_EQ(indexer.GetCount(), 0);
    EXPECT_EQ(indexer.GetMaximum(), 0);
    EXPECT_EQ(indexer.GetMaximumIdx(), -1);
    EXPECT_EQ(indexer.GetMinimumIdx(), -1);
    EXPECT_EQ(indexer.GetSum(), 0);

    for (int i = 0; i < 5; ++i)
        vector.Add(10 * i);
    EXPECT_EQ(indexer.GetCount(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(indexer.GetValue(i), i);
    EXPECT_EQ(indexer.GetMinimum(), 0);
    EXPECT_EQ(indexer.GetMaximum(), 4);
    EXPECT_EQ(indexer.GetMaximumIdx(), 4);
    EXPECT_EQ(indexer.GetSum(), 10);
    EXPECT_TRUE(indexer.GetOnlyAscending());
    vector.Delete(0);
    EXPECT_EQ(indexer.GetSum(), 6); // (4 - 1) / 2 x 4 in floating point
}

TEST(IndexerTest, RefusesValuesAndForgetsADestroyedVector) {
    auto vector = std::make_unique<TVxDoubleVector>();
    vector->Add(1);
    TVxIndexer indexer;
    indexer.SetRefVector(vector.get());
    try {
        indexer.SetValue(0, 1);
        FAIL() << "no error";
    } catch (const EVxException& e) {
        EXPECT_STREQ(e.what(), "TVxIndexer is not supposed to set values!");
    }
    vector.reset();
    EXPECT_EQ(indexer.RefVector(), nullptr);
    EXPECT_EQ(indexer.GetCount(), 0);
    EXPECT_EQ(indexer.GetValue(3), 0);
}
