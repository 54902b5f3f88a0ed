#pragma once
// What the read-window and scalar-map tests share on the viewer's common ground: a dataset
// object whose grid, variables and values the test describes in a few fields, a settings file,
// and an in-memory map picture.
#include "tests/viewer/ViewerFixture.h"

#include "common/Strings.h"
#include "gui/Picture.h"
#include "gui/PictureWidget.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TempDir.h"
#include "tests/viewer/StubKelvad.h"
#include "viewer/map/CScale.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/gencord.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

// A dataset object described in fields. Slots 1 and 2 share the grid; variables are per slot.
class FakeGrid : public StubKelvad {
public:
    struct Var {
        std::string name;
        std::vector<Long> dims; // dimension ids in the variable's order
        Long llOrder = 0;       // variLonLatOrder
        std::string unit;
    };
    struct ReadCall {
        Long nv = 0, slot = 0, count = 0;
        std::vector<Long> start, cnt, step;
    };

    std::map<std::pair<Long, Long>, Var> vars; // (slot, nv)
    std::map<Long, Long> dimLen;               // dimension id -> length
    Long grid = kGridRegular, lons = 0, lats = 0, cells = 0, nodes = 0, elems = 0;
    Long imax = 0, jmax = 0, kmax = 0, xysize = 0, order = 0;
    Long timeDid = -1, levelDid = -1, nodeDid = -1, elemDid = -1;
    Long steps = 0;
    Long vectorKind = 0; // VectorKind of every slot
    // Value at the 1-based index of each dimension; NoVal for a missing value.
    std::function<float(Long slot, Long nv, const std::vector<Long>& index)> value =
        [](Long, Long, const std::vector<Long>&) { return 1.0f; };
    Long failRead = 0; // the read (1-based call number) that fails
    std::string error;
    std::vector<ReadCall> reads;
    Long fillResult = 0; // of the node refill
    std::vector<float> fillLon, fillLat;
    Long fills = 0;

    Var& addVar(Long slot, Long nv, const std::string& name, std::vector<Long> dims,
                Long llOrder = 0) {
        Var& v = vars[{slot, nv}];
        v.name = name;
        v.dims = std::move(dims);
        v.llOrder = llOrder;
        return v;
    }

    const Var* find(Long nv, Long slot) const {
        auto it = vars.find({slot, nv});
        return it == vars.end() ? nullptr : &it->second;
    }

    std::string ErrorMessage() override { return error; }
    Long GridType(Long) override { return grid; }
    Long nTime(Long) override { return steps; }
    Long nNodes(Long) override { return nodes; }
    Long nElements(Long) override { return elems; }
    Long nCells(Long) override { return cells; }
    Long nLon(Long) override { return lons; }
    Long nLat(Long) override { return lats; }
    Long nXysize(Long) override { return xysize; }
    Long iMax(Long) override { return imax; }
    Long jMax(Long) override { return jmax; }
    Long kMax(Long) override { return kmax; }
    Long TimedId(Long) override { return timeDid; }
    Long LeveldId(Long) override { return levelDid; }
    Long nodedId(Long) override { return nodeDid; }
    Long elemdId(Long) override { return elemDid; }
    Long lonlatOrder(Long) override { return order; }
    Long Vector(Long) override { return vectorKind; }
    std::string variName(Long nv, Long slot) override {
        const Var* v = find(nv, slot);
        return v ? v->name : std::string();
    }
    Long variNarray(Long nv, Long slot) override {
        const Var* v = find(nv, slot);
        return v ? static_cast<Long>(v->dims.size()) : 0;
    }
    std::string variUnit(Long nv, Long slot) override {
        const Var* v = find(nv, slot);
        return v ? v->unit : std::string();
    }
    Long variLonLatOrder(Long nv, Long slot) override {
        const Var* v = find(nv, slot);
        return v ? v->llOrder : 0;
    }
    Long variArrayDimID(Long nv, Long nd, Long slot) override {
        const Var* v = find(nv, slot);
        return v && nd >= 1 && nd <= static_cast<Long>(v->dims.size()) ? v->dims[nd - 1] : 0;
    }
    Long indexOfDID(Long nv, Long did, Long slot) override {
        const Var* v = find(nv, slot);
        if (!v || did < 0) return 0;
        for (size_t d = 0; d < v->dims.size(); ++d)
            if (v->dims[d] == did) return static_cast<Long>(d + 1);
        return 0;
    }
    std::string DatePicked(Long nt, Long) override {
        return nt >= 1 && nt <= steps ? "2004-03-" + std::to_string(nt) : std::string();
    }
    Long fill(VArray<float>& lon, VArray<float>& lat) {
        ++fills;
        if (fillResult < 0) {
            error = "This file does not have node coordinates";
            return fillResult;
        }
        for (size_t i = 0; i < fillLon.size(); ++i) {
            lon(static_cast<Long>(i + 1)) = fillLon[i];
            lat(static_cast<Long>(i + 1)) = fillLat[i];
        }
        return 1;
    }
    Long FillLonLatRad(VArray<float>& lon, VArray<float>& lat, Long) override {
        return fill(lon, lat);
    }
    Long FillLonLatDeg(VArray<float>& lon, VArray<float>& lat, Long) override {
        return fill(lon, lat);
    }
    Variant GetVarsAny(Long nvar, float noVal, VArray<float>& out, const VArray<Long>& start,
                       const VArray<Long>& count, const VArray<Long>& step, Long total,
                       Long slot) override {
        const Var* v = find(nvar, slot);
        if (!v) return {};
        ReadCall call;
        call.nv = nvar;
        call.slot = slot;
        call.count = total;
        const size_t nd = v->dims.size();
        for (Long d = 1; d <= static_cast<Long>(nd); ++d) {
            call.start.push_back(start(d));
            call.cnt.push_back(count(d));
            call.step.push_back(step(d));
        }
        reads.push_back(call);
        if (failRead == static_cast<Long>(reads.size())) {
            error = "[do_get_vars_any] NetCDF Error: Index exceeds dimension bound";
            return Long{-1};
        }
        if (total <= 0) {
            error = "[do_get_vars_any] tcount <= 0:";
            return Long{-1};
        }
        for (size_t d = 0; d < nd; ++d) {
            auto len = dimLen.find(v->dims[d]);
            const Long last = call.start[d] + (call.cnt[d] - 1) * call.step[d];
            if (call.cnt[d] > 0 && len != dimLen.end() &&
                (call.start[d] < 1 || last > len->second)) {
                error = "[do_get_vars_any] NetCDF Error: Index exceeds dimension bound";
                return Long{-1};
            }
        }
        out.ReDim(1, total);
        std::vector<Long> idx(call.start);
        std::vector<Long> c(nd, 0);
        Long good = 0;
        for (Long k = 1; k <= total; ++k) {
            for (size_t d = 0; d < nd; ++d)
                idx[d] = call.start[d] + c[d] * call.step[d];
            float x = value(slot, nvar, idx);
            if (x <= noVal)
                x = noVal;
            else
                ++good;
            out(k) = x;
            for (size_t d = nd; d-- > 0;) {
                if (++c[d] < call.cnt[d]) break;
                c[d] = 0;
            }
        }
        return good;
    }
};

// The map's units as the projection menu sets them: degrees and a turn of 360 (0), or radians
// and a turn of 2 pi (1).
inline void UseProjection(Long projection) {
    View.Projection = projection;
    View.LonPeriod = projection == 0 ? 360.0f : 6.283185f;
}

// The two projections with their map units per degree, for tests that run in both.
struct ProjectionCase {
    Long projection;
    double unit;
};
inline constexpr ProjectionCase kBothProjections[] = {{0, 1.0}, {1, kDegToRad}};

// The box a map draws for the value at (lon, lat): +-1 unit of the picture around its place
// under the transform in force.
inline std::vector<double> BoxAround(float lon, float lat) {
    float x = 0, y = 0;
    ll2_to_xy2(lon, lat, x, y);
    return {x - 1.0, y - 1.0, x + 1.0, y + 1.0};
}

class ScalarFixture : public ViewerFixture {
protected:
    FakeGrid fake;
    Picture pic{400, 300};

    void SetUp() override {
        ViewerFixture::SetUp();
        Data.clsNC = &fake;
        Data.nNcMain = 1;
        useSettings("[parameters]\r\n");
        View.Projection = 0;
        View.LonPeriod = 360;
        Data.CurTimeStep = 1;
        Data.CurLevel = 1;
        Scale.ColorCode = 30;
        Scale.col_opt = 0;
        pic.setRecording(true);
        SetMapCaption("");
    }

    // A regular grid with the given coordinates; the view and the dataset extent span them.
    void regularGrid(const std::vector<float>& lon, const std::vector<float>& lat) {
        fake.grid = kGridRegular;
        fake.lons = static_cast<Long>(lon.size());
        fake.lats = static_cast<Long>(lat.size());
        Data.lonV.ReDim(1, fake.lons);
        Data.latV.ReDim(1, fake.lats);
        for (Long i = 1; i <= fake.lons; ++i)
            Data.lonV(i) = lon[i - 1];
        for (Long j = 1; j <= fake.lats; ++j)
            Data.latV(j) = lat[j - 1];
        const auto [w, e] = std::minmax_element(lon.begin(), lon.end());
        const auto [s, n] = std::minmax_element(lat.begin(), lat.end());
        Data.DataExtent = {*w, *e, *s, *n};
        View.ViewExtent = Data.DataExtent;
    }

    static std::vector<float> range(float first, float step, int n) {
        std::vector<float> v;
        for (int i = 0; i < n; ++i)
            v.push_back(first + step * i);
        return v;
    }

    void view(double w, double e, double s, double n) { View.ViewExtent = {w, e, s, n}; }

    // The time step (first start index) of every read the dataset object served, in order.
    std::vector<Long> stepsRead() const {
        std::vector<Long> s;
        for (const auto& r : fake.reads)
            s.push_back(r.start[0]);
        return s;
    }

    // The cells of a drawing go straight into the picture's pixels unless the primitive log
    // is recording, when they go box by box through Line: both ways must give the same
    // picture, pixel for pixel, and the same messages. drawIt draws one frame from a white
    // picture.
    void expectSamePictureWithoutLog(const std::function<void()>& drawIt) {
        std::vector<QImage> images;
        std::vector<size_t> messages;
        for (bool recording : {true, false}) {
            pic.setRecording(recording);
            pic.Cls();
            ui.boxes.clear();
            drawIt();
            images.push_back(pic.image().copy());
            messages.push_back(ui.boxes.size());
        }
        pic.setRecording(true);
        EXPECT_TRUE(images[0] == images[1]) << "the pixels differ";
        EXPECT_EQ(messages[0], messages[1]);
    }

    void pick(Long nv, Long slot = 1) {
        Data.Picks.ReDim(1, 1);
        Data.Picks(1) = PickItem{nv, 0, slot};
        Data.PickCount = 1;
    }

    using ViewerFixture::recordsOf;
    // The primitives of one kind in the map picture.
    std::vector<DrawRecord> recordsOf(DrawKind kind) const { return recordsOf(pic, kind); }
    // The colour key's picture, and its log started afresh.
    static Picture& legend() { return FormColorForm().Picture1->picture(); }
    static void recordLegend() {
        legend().setRecording(true);
        legend().clearRecords();
    }
    // The time bar: a filled strip one unit high along the bottom edge.
    bool isTimeBar(const DrawRecord& r) const {
        return r.kind == DrawKind::FilledBox && r.at[1] == pic.ScaleHeight() &&
               r.at[3] == pic.ScaleHeight() - 1;
    }
    // The boxes of the data: filled boxes other than the time bar.
    std::vector<DrawRecord> dataBoxes() const {
        std::vector<DrawRecord> out;
        for (const auto& r : recordsOf(DrawKind::FilledBox))
            if (!isTimeBar(r)) out.push_back(r);
        return out;
    }
    // The picture pixel at the map position (lon, lat) under the transform in force.
    Long pixelAtPoint(float lon, float lat) const {
        float x = 0, y = 0;
        ll2_to_xy2(lon, lat, x, y);
        return pic.pixel(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)));
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& r : recordsOf(DrawKind::Print))
            out.push_back(r.text);
        return out;
    }
    std::string scales(const std::string& key) const {
        return GetString(key, "Scales", Opt.IniFile);
    }
    std::vector<Long> arr(const VArray<Long>& a) const {
        std::vector<Long> v;
        if (!a.IsAllocated()) return v;
        for (Long i = a.LBound(); i <= a.UBound(); ++i)
            v.push_back(a(i));
        return v;
    }
};
