// The typed reads: whole and strided, each type, the arrays they refuse, and the values a type
// cannot hold.
#include "tests/kelvadlib/KelvadFixture.h"

#include "common/NetCDF.h"
#include "kelvadlib/Kelvad.h"
#include "tests/support/NcBuilder.h"

#include <gtest/gtest.h>
#include <netcdf.h>

#include <string>
#include <vector>

namespace {

template <class T>
using StridedFn = Variant (Kelvad::*)(Long, Long, const VArray<Long>&, const VArray<Long>&,
                                      const VArray<Long>&, VArray<T>&);
template <class T> using WholeFn = Variant (Kelvad::*)(Long, Long, VArray<T>&);

class TypedReadsTest : public KelvadFixture {
protected:
    void SetUp() override {
        NcBuilder nc(dir.file("typed.nc"));
        nc.dim("t", 3);
        nc.dim("y", 4);
        nc.dim("x", 5);
        std::vector<double> values(60);
        for (int i = 0; i < 60; ++i)
            values[i] = i * 10 - 100;
        nc.var("cube", NC_DOUBLE, {"t", "y", "x"}).values(values).att("scale_factor", 2.0);
        nc.var("big", NC_INT, {"x"}).values({70000, -70000, 1, 2, 3});
        nc.var("one", NC_SHORT).values({-7});
        load(nc.write());
    }

    // The raw values of (t 1 and 3, y 2 and 3, x 1, 3, 5), no scale applied.
    static std::vector<double> windowValues() {
        std::vector<double> v;
        for (int t : {0, 2})
            for (int y : {1, 2})
                for (int x : {0, 2, 4})
                    v.push_back((t * 20 + y * 5 + x) * 10 - 100);
        return v;
    }

    template <class T> void checkPair(const char* name, StridedFn<T> vars, WholeFn<T> var) {
        SCOPED_TRACE(name);
        const std::string tag = std::string("[do_get_vars_") + name + "] ";
        const std::string wholeTag = std::string("[do_get_var_") + name + "] ";
        const VArray<Long> start = longs({1, 2, 1}), count = longs({2, 2, 3}),
                           stride = longs({2, 1, 2});

        // Whole: the Long count and an array (1 To 60).
        VArray<T> all(5, 6);
        Variant r = (k.*var)(1, 1, all);
        EXPECT_EQ(r.type(), Variant::Type::kLong);
        EXPECT_EQ(r.toLong(), 60);
        ASSERT_EQ(all.LBound(), 1);
        ASSERT_EQ(all.UBound(), 60);
        EXPECT_EQ(all(1), T(-100));
        EXPECT_EQ(all(60), T(490));

        // Strided: the Integer 1, the values from element 1 of the caller's array.
        VArray<T> out(0, 12);
        out(0) = T(99);
        r = (k.*vars)(1, 1, start, count, stride, out);
        EXPECT_EQ(r.type(), Variant::Type::kInteger);
        EXPECT_EQ(r.toLong(), 1);
        EXPECT_EQ(out(0), T(99));
        const std::vector<double> want = windowValues();
        for (Long i = 1; i <= 12; ++i)
            EXPECT_EQ(out(i), T(want[i - 1])) << i;
        EXPECT_EQ(elements(start), (std::vector<Long>{1, 2, 1}));

        // A caller array shorter than the counts ask for is refused, untouched and unopened.
        k.CloseSlot(1);
        VArray<T> shortOut(1, 11);
        shortOut(1) = T(5);
        r = (k.*vars)(1, 1, start, count, stride, shortOut);
        EXPECT_EQ(r.type(), Variant::Type::kInteger);
        EXPECT_EQ(r.toLong(), -1);
        EXPECT_EQ(k.ErrorMessage,
                  tag + "the output array holds fewer values than countp asks for:");
        EXPECT_EQ(shortOut(1), T(5));
        EXPECT_EQ(ncid(), -1);

        // No element 1, a start shorter than the rank: the subscript frame.
        VArray<T> noFirst(2, 40);
        EXPECT_EQ((k.*vars)(1, 1, start, count, stride, noFirst).toLong(), -1);
        EXPECT_EQ(k.ErrorMessage, frame(tag, 9, "Subscript out of range"));
        EXPECT_EQ((k.*vars)(1, 1, longs({1, 1}), count, stride, out).toLong(), -1);
        EXPECT_EQ(k.ErrorMessage, frame(tag, 9, "Subscript out of range"));
        EXPECT_EQ((k.*var)(1, 9, all).toLong(), -1);
        EXPECT_EQ(k.ErrorMessage, frame(wholeTag, 9, "Subscript out of range"));

        // The number checks, nvar first.
        EXPECT_EQ((k.*vars)(-1, -1, start, count, stride, out).toLong(), -1);
        EXPECT_EQ(k.ErrorMessage, tag + "nvar& < 0:");
        EXPECT_EQ((k.*vars)(-1, 1, start, count, stride, out).toLong(), -1);
        EXPECT_EQ(k.ErrorMessage, tag + "nH& < 0:");
        EXPECT_EQ((k.*var)(-1, -1, all).toLong(), -1);
        EXPECT_EQ(k.ErrorMessage, wholeTag + "nvar& < 0:");
        EXPECT_EQ((k.*var)(-1, 1, all).toLong(), -1);
        EXPECT_EQ(k.ErrorMessage, wholeTag + "nH& < 0:");
        EXPECT_EQ(ncid(), -1);

        // Negative and past-the-end windows: the library's refusal, the dataset closed.
        ASSERT_EQ(k.ReopenSlot(1), NC_NOERR);
        EXPECT_EQ((k.*vars)(1, 1, longs({1, 2, 0}), count, stride, out).toLong(), -1);
        EXPECT_EQ(k.ErrorMessage, tag + "NetCDF Error: " + NcErrorText(NC_EINVALCOORDS));
        EXPECT_EQ(ncid(), -1);
        EXPECT_EQ((k.*vars)(1, 1, start, longs({2, 2, -3}), stride, out).toLong(), -1);
        EXPECT_EQ(k.ErrorMessage, tag + "NetCDF Error: " + NcErrorText(NC_EEDGE));
        EXPECT_EQ((k.*vars)(1, 1, start, count, longs({2, -1, 2}), out).toLong(), -1);
        EXPECT_EQ(k.ErrorMessage, tag + "NetCDF Error: " + NcErrorText(NC_ESTRIDE));
        ASSERT_EQ(k.ReopenSlot(1), NC_NOERR);
        EXPECT_EQ((k.*vars)(1, 1, longs({2, 2, 1}), count, stride, out).toLong(), -1);
        EXPECT_EQ(k.ErrorMessage.rfind(tag + "NetCDF Error: NetCDF: ", 0), 0u) << k.ErrorMessage;
        EXPECT_EQ(ncid(), -1);

        // A variable without dimensions.
        VArray<T> one;
        EXPECT_EQ((k.*var)(1, 3, one).toLong(), 1);
        EXPECT_EQ(elements(one), std::vector<T>{T(-7)});
        VArray<T> oneOut(1, 1);
        EXPECT_EQ((k.*vars)(1, 3, longs({1}), longs({1}), longs({1}), oneOut).toLong(), 1);
        EXPECT_EQ(oneOut(1), T(-7));
    }
};

TEST_F(TypedReadsTest, EachTypeReadsWholeAndStridedAndRefusesWhatItCannotHold) {
    checkPair<Integer>("short", &Kelvad::do_get_vars_short, &Kelvad::do_get_var_short);
    checkPair<Long>("Long", &Kelvad::do_get_vars_Long, &Kelvad::do_get_var_Long);
    checkPair<float>("Float", &Kelvad::do_get_vars_Float, &Kelvad::do_get_var_Float);
    checkPair<double>("Double", &Kelvad::do_get_vars_Double, &Kelvad::do_get_var_Double);
}

TEST_F(TypedReadsTest, LongReadsKeep32BitValuesAndShortReadsReportTheRange) {
    VArray<Long> l;
    EXPECT_EQ(k.do_get_var_Long(1, 2, l).toLong(), 5);
    EXPECT_EQ(elements(l), (std::vector<Long>{70000, -70000, 1, 2, 3}));
    VArray<Integer> s;
    EXPECT_EQ(k.do_get_var_short(1, 2, s).toLong(), -1);
    EXPECT_EQ(k.ErrorMessage, "[do_get_var_short] NetCDF Error: " + NcErrorText(NC_ERANGE));
    EXPECT_EQ(ncid(), -1);
    // The next read opens the dataset again by name and, with CloseAfterRead 0, leaves it open.
    VArray<Integer> part(1, 3);
    EXPECT_EQ(k.do_get_vars_short(1, 2, longs({3}), longs({3}), longs({1}), part).toLong(), 1);
    EXPECT_EQ(elements(part), (std::vector<Integer>{1, 2, 3}));
    EXPECT_TRUE(isOpen(ncid()));
}

} // namespace
