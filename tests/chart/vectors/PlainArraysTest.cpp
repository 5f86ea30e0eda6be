#include "vectors/PlainArrays.h"

#include <gtest/gtest.h>

TEST(PlainArraysTest, CreateAddGrowDelete) {
    TVxIntegerVector numbers(4);
    EXPECT_EQ(numbers.GetIncrement(), 4);
    EXPECT_EQ(numbers.GetCapacity(), 4);
    for (int i = 0; i < 5; ++i)
        numbers.Add(i * 10);
    EXPECT_EQ(numbers.GetCapacity(), 8);
    numbers.Delete(1);
    numbers.Delete(9);
    EXPECT_EQ(numbers.GetCount(), 4);
    EXPECT_EQ(numbers.GetValue(1), 20);
    EXPECT_THROW(numbers.GetValue(4), EVxRangeError);
    EXPECT_THROW(numbers.GetValue(-1), EVxRangeError);
    numbers.SetValue(6, 1);
    EXPECT_EQ(numbers.GetValue(5), 0); // the gap is zero, not the deleted value
    numbers.Clear();
    EXPECT_EQ(numbers.GetCount(), 0);

    TVxSingleVector defaults;
    EXPECT_EQ(defaults.GetIncrement(), 128);
}

TEST(PlainArraysTest, SetCountAndSetCapacityDifferByKind) {
    TVxIntegerVector integers;
    integers.SetCount(3);
    EXPECT_EQ(integers.GetCount(), 3);
    EXPECT_EQ(integers.GetCapacity(), 3);
    integers.SetCapacity(3); // n >= capacity grows
    EXPECT_EQ(integers.GetCapacity(), 3);
    integers.SetCapacity(2);
    EXPECT_EQ(integers.GetCapacity(), 3);

    TVxSingleVector singles;
    singles.SetCount(2);
    singles.SetCapacity(2); // only n > capacity grows
    EXPECT_EQ(singles.GetCapacity(), 2);
    singles.SetCapacity(5);
    EXPECT_EQ(singles.GetCapacity(), 5);

    TVxBooleanVector booleans;
    booleans.SetCount(2);
    booleans.SetBool(1, true);
    EXPECT_TRUE(booleans.GetBool(1));
    EXPECT_FALSE(booleans.GetBool(0));

    TVxPointVector points;
    points.SetCount(3);
    points.SetCount(1); // never lowers the count
    EXPECT_EQ(points.GetCount(), 3);
    points.SetX(1, 2.5f);
    points.SetY(1, -1);
    EXPECT_EQ(points.GetValue(1), (TVxFloatPoint{2.5f, -1}));
    auto e = points.GetEnumerator();
    int n = 0;
    while (e.MoveNext())
        ++n;
    EXPECT_EQ(n, 3);
}
