// End to end, as a user works: a settings file and a copy of each sample in a temporary folder,
// the start-up, the dataset typed into the main window and loaded, the map and order windows
// opened, one scalar picked with a click in the list and drawn with "Draw", then the next step
// with ">" and the animation with ">>" stopped by Esc after two steps. At a few known cells the
// map must show the colour that the sample's own value (read here with netCDF-C) gets on the
// range the renderer used; cells without a value stay white. Both projections.
//
// Then a small global grid across the longitude seam: panned west with the arrow key and drawn
// for the first time, every cell of the view, on the grid and on its copy beyond the seam,
// shows its value's colour on the one range the colour key shows; a right click on the copy
// probes it; a double click widens the view (in Cartesian mode past a period, with copies on
// both sides; in Mercator mode over the whole grid) and every cell is checked again.
//
// Then a window of the regular sample is saved with "Save to local file", loaded with "Load"
// and drawn: its cells show the source's colours.
//
// Then the regular sample's section: a path drawn on the map, the section opened in the host
// window, the window resized and the section stepped in time.
#include "kelvadlib/IKelvad.h"
#include "tests/support/NcBuilder.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/TempDir.h"
#include "tests/viewer/SectionHooks.h"
#include "tests/viewer/shell/ListClicks.h"
#include "tests/viewer/shell/ShellFixture.h"

#include "common/Strings.h"
#include "gui/LateBound.h"
#include "gui/Picture.h"
#include "gui/PictureWidget.h"
#include "gui/QtText.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "viewer/map/CScale.h"
#include "viewer/map/DrawCost.h"
#include "viewer/map/MapGeometry.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/RenderStages.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/gencord.h"
#include "viewer/section/OCXHost.h"
#include "viewer/shell/FormColor.h"
#include "viewer/shell/FormIJ.h"
#include "viewer/shell/FormShow.h"
#include "viewer/shell/MainForm.h"
#include "viewer/shell/MainOPaP.h"
#include "viewer/shell/OrderFrm.h"
#include "viewer/shell/PicForm.h"
#include "viewer/shell/Startup.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <gtest/gtest.h>
#include <netcdf.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#ifndef PELORIN_SAMPLES_DIR
#error "PELORIN_SAMPLES_DIR: the folder of the sample datasets"
#endif
#ifndef PELORIN_BIN_DIR
#error "PELORIN_BIN_DIR: the program's folder in the build, with the section plug-in"
#endif

namespace {

using Texts = std::vector<std::string>;

constexpr Long kWhite = 0xFFFFFF;

// ---- The sample as netCDF-C reads it --------------------------------------------------------

class NcFile {
public:
    explicit NcFile(const std::string& path) {
        if (nc_open(path.c_str(), NC_NOWRITE, &id_) != NC_NOERR) id_ = -1;
    }
    ~NcFile() {
        if (id_ >= 0) nc_close(id_);
    }
    NcFile(const NcFile&) = delete;
    NcFile& operator=(const NcFile&) = delete;

    bool ok() const { return id_ >= 0; }

    // The whole variable as the viewer's reads give it: scale and offset applied in Double,
    // rounded to a Single, the fill value as NoVal.
    std::vector<float> values(const std::string& name) const {
        int var = -1;
        if (nc_inq_varid(id_, name.c_str(), &var) != NC_NOERR) return {};
        int nd = 0;
        nc_inq_varndims(id_, var, &nd);
        std::vector<int> dims(static_cast<std::size_t>(nd));
        nc_inq_vardimid(id_, var, dims.data());
        std::size_t n = 1;
        for (int d : dims) {
            std::size_t len = 0;
            nc_inq_dimlen(id_, d, &len);
            n *= len;
        }
        std::vector<double> raw(n);
        nc_get_var_double(id_, var, raw.data());
        const double scale = att(var, "scale_factor", 1.0);
        const double offset = att(var, "add_offset", 0.0);
        const double fill = att(var, "_FillValue", 0);
        const bool hasFill = nc_inq_att(id_, var, "_FillValue", nullptr, nullptr) == NC_NOERR;
        std::vector<float> out(n);
        for (std::size_t k = 0; k < n; ++k)
            out[k] =
                hasFill && raw[k] == fill ? NoVal : static_cast<float>(raw[k] * scale + offset);
        return out;
    }

    std::size_t dim(const std::string& name) const {
        int d = -1;
        std::size_t len = 0;
        if (nc_inq_dimid(id_, name.c_str(), &d) == NC_NOERR) nc_inq_dimlen(id_, d, &len);
        return len;
    }

private:
    // An attribute's number as the dataset library takes it: from its text, a Single's or a
    // Double's as Str writes them.
    double att(int var, const char* name, double fallback) const {
        nc_type type = NC_NAT;
        if (nc_inq_atttype(id_, var, name, &type) != NC_NOERR) return fallback;
        if (type == NC_FLOAT) {
            float f = 0;
            nc_get_att_float(id_, var, name, &f);
            return Val(Str(f));
        }
        double d = fallback;
        nc_get_att_double(id_, var, name, &d);
        return type == NC_DOUBLE ? Val(Str(d)) : d;
    }
    int id_ = -1;
};

// ---- The samples ----------------------------------------------------------------------------

// A known cell: on the regular grid (i, j) = longitude and latitude index; on the GMT grid the
// same, j counted from the south; on the boundary-fitted grid (i, j) = xpos and ypos index; on
// cell lists and meshes i is the station, node or element. All 1-based.
// The axes of a GMT grid file: dimension, x_range, y_range and spacing.
void GmtAxes(const NcFile& nc, std::vector<float>& lon, std::vector<float>& lat, Long& nLon,
             Long& nLat) {
    nLon = static_cast<Long>(nc.values("dimension").at(0));
    nLat = static_cast<Long>(nc.values("dimension").at(1));
    const std::vector<float> x = nc.values("x_range"), y = nc.values("y_range");
    const std::vector<float> d = nc.values("spacing");
    for (Long i = 0; i < nLon; ++i)
        lon.push_back(static_cast<float>(x.at(0) + i * d.at(0)));
    for (Long j = 0; j < nLat; ++j)
        lat.push_back(static_cast<float>(y.at(0) + j * d.at(1)));
}

struct Cell {
    Long i = 0;
    Long j = 0;
};

struct Sample {
    const char* file;
    const char* var; // the scalar picked
    Long gridType;
    std::vector<Cell> cells;  // sea cells with a value at the steps drawn
    std::vector<Cell> blanks; // cells without a value: nothing drawn there
    // The boxes that opening the order window shows (the description of its first entry).
    std::vector<std::string> onOpen = {};
};

const std::vector<Sample>& samples() {
    static const std::vector<Sample> list = {
        // Walked longitudes at the default stride of 2 are -177.5 + 10 k. Western Pacific,
        // mid-Atlantic, South Pacific, Indian Ocean; Africa and North America are land.
        {"regular_global.nc",
         "temp",
         kGridRegular,
         {{67, 19}, {29, 24}, {9, 10}, {51, 14}},
         {{41, 19}, {17, 27}}},
        // Buoys of the middle rows.
        {"stations.nc", "temp", kGridCells, {{9, 0}, {16, 0}, {22, 0}, {27, 0}}, {}},
        // Round the cape; the island's node at (26, 13) has no value.
        {"bfg_coastal.nc", "zeta", kGridBfg, {{11, 13}, {21, 19}, {33, 17}, {16, 21}}, {{26, 13}}},
        // Nodes along the estuary (node = 12 i + j + 1 for 0-based i along, j across). The
        // elevation varies along only: most are first nodes of their section, so that the
        // node before them lies in another section and has another value.
        {"fe_mesh.nc", "zeta", kGridFeMesh, {{41, 0}, {97, 0}, {193, 0}, {289, 0}}, {}},
        // Elements inside the lagoon. The first entry, code, lies on the nodes: its
        // description places them without a word.
        {"fv_mesh.nc", "zeta", kGridFvMesh, {{63, 0}, {113, 0}, {175, 0}, {213, 0}}, {}},
        // Coastal sea, island, seamount, deep sea, land.
        {"gmt_grid.nc", "z", kGridGmt, {{21, 41}, {56, 41}, {81, 21}, {36, 11}, {6, 71}}, {}},
    };
    return list;
}

// What one cell of a sample is at one step (level 1): its value and where its colour shows.
struct CellAt {
    float value = NoVal;
    // A point (grid point, station, node, element centre) or a quadrilateral's four corners.
    std::vector<float> lon, lat;
};

class SampleData {
public:
    SampleData(const Sample& s, const std::string& path) : s_(s), nc_(path) {
        values_ = nc_.values(s.var);
        if (s.gridType == kGridGmt) {
            GmtAxes(nc_, lon_, lat_, nLon_, nLat_);
            perStep_ = static_cast<std::size_t>(nLon_ * nLat_);
            return;
        }
        lon_ = nc_.values("lon");
        lat_ = nc_.values("lat");
        if (s.gridType == kGridRegular) {
            nLon_ = static_cast<Long>(lon_.size());
            nLat_ = static_cast<Long>(lat_.size());
            // temp(time, depth, lat, lon): level 1 of each step.
            perStep_ = static_cast<std::size_t>(nLon_ * nLat_) * nc_.dim("depth");
        } else if (s.gridType == kGridBfg) {
            nLon_ = static_cast<Long>(nc_.dim("xpos"));
            nLat_ = static_cast<Long>(nc_.dim("ypos"));
            perStep_ = static_cast<std::size_t>(nLon_ * nLat_);
        } else {
            perStep_ = lon_.size();
        }
    }

    bool ok() const { return nc_.ok() && !values_.empty(); }

    // The values of level 1 at step (1-based; a GMT grid has one).
    std::vector<float> plane(Long step) const {
        const std::size_t first = perStep_ * static_cast<std::size_t>(step - 1);
        const std::size_t count =
            s_.gridType == kGridRegular ? static_cast<std::size_t>(nLon_ * nLat_) : perStep_;
        return std::vector<float>(values_.begin() + static_cast<long>(first),
                                  values_.begin() + static_cast<long>(first + count));
    }

    CellAt at(const Cell& c, Long step) const {
        const std::vector<float> v = plane(step);
        CellAt out;
        switch (s_.gridType) {
        case kGridRegular:
            out.value = v.at(idx((c.j - 1) * nLon_ + c.i - 1));
            out.lon = {lon_.at(idx(c.i - 1))};
            out.lat = {lat_.at(idx(c.j - 1))};
            break;
        case kGridGmt: // the northern row first
            out.value = v.at(idx((nLat_ - c.j) * nLon_ + c.i - 1));
            out.lon = {lon_.at(idx(c.i - 1))};
            out.lat = {lat_.at(idx(c.j - 1))};
            break;
        case kGridBfg: { // the quadrilateral from the cell's node to the next along both axes
            out.value = v.at(idx((c.j - 1) * nLon_ + c.i - 1));
            const Long corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
            for (const auto& k : corners) {
                const std::size_t n = idx((c.j - 1 + k[1]) * nLon_ + c.i - 1 + k[0]);
                out.lon.push_back(lon_.at(n));
                out.lat.push_back(lat_.at(n));
            }
            break;
        }
        default:
            out.value = v.at(idx(c.i - 1));
            out.lon = {lon_.at(idx(c.i - 1))};
            out.lat = {lat_.at(idx(c.i - 1))};
            break;
        }
        return out;
    }

    // The positions of every point that a point renderer draws at step (stations, nodes,
    // elements with a value).
    std::vector<std::pair<float, float>> drawnPoints(Long step) const {
        const std::vector<float> v = plane(step);
        std::vector<std::pair<float, float>> out;
        for (std::size_t k = 0; k < v.size(); ++k)
            if (v[k] > NoVal) out.emplace_back(lon_.at(k), lat_.at(k));
        return out;
    }

    Long nLon() const { return nLon_; }

private:
    static std::size_t idx(Long k) { return static_cast<std::size_t>(k); }

    const Sample& s_;
    NcFile nc_;
    std::vector<float> values_, lon_, lat_;
    Long nLon_ = 0, nLat_ = 0;
    std::size_t perStep_ = 0;
};

// The largest and smallest value of those given, NoVal skipped.
struct Range {
    float max = -1e10f;
    float min = 1e10f;
    void take(float v) {
        if (v <= NoVal) return;
        max = std::max(max, v);
        min = std::min(min, v);
    }
};

// ---- A coastline of one segment over Antarctica (radians), off every sample's known cells ----

void WriteCoast(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    auto put = [&](auto v) { out.write(reinterpret_cast<const char*>(&v), sizeof v); };
    const float lat = -1.4f; // about 80 degrees south
    const float pts[3][2] = {{-3.0f, lat}, {0.0f, lat}, {3.0f, lat}};
    put(-3.0f), put(3.0f), put(lat), put(lat), put(Long{3}), put(Long{0});
    put(Long{3}), put(Long{0}), put(-3.0f), put(3.0f), put(lat), put(lat);
    for (const auto& p : pts)
        put(p[0]), put(p[1]);
}

// ---- The user's hands ------------------------------------------------------------------------

// Esc released on the map picture.
void ReleaseEscOnMap() {
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(PicFormForm().Picture1, &release);
}

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The name of a list entry (" 5: temp").
std::string EntryName(const std::string& entry) {
    const auto colon = entry.find(": ");
    return colon == std::string::npos ? entry : entry.substr(colon + 2);
}

float Distance(float px, float py, float ax, float ay, float bx, float by) {
    const float dx = bx - ax, dy = by - ay;
    const float len2 = dx * dx + dy * dy;
    float t = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0;
    t = std::clamp(t, 0.0f, 1.0f);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

// ---- The test --------------------------------------------------------------------------------

// A sample drawn in one projection (0 Cartesian, 1 Mercator).
template <class S> struct SampleCase {
    const S* sample;
    Long projection;
};

template <class S> void PrintTo(const SampleCase<S>& c, std::ostream* os) {
    *os << c.sample->file << (c.projection == 1 ? " in Mercator" : "");
}

// Every sample of the list in both projections.
template <class S> std::vector<SampleCase<S>> casesOf(const std::vector<S>& list) {
    std::vector<SampleCase<S>> out;
    for (Long projection : {0, 1})
        for (const S& s : list)
            out.push_back({&s, projection});
    return out;
}

// A case's name: the file's without its ending and underscores, and the projection.
template <class S> std::string caseName(const ::testing::TestParamInfo<SampleCase<S>>& p) {
    std::string name = p.param.sample->file;
    name = name.substr(0, name.find('.'));
    name.erase(std::remove(name.begin(), name.end(), '_'), name.end());
    return name + (p.param.projection == 1 ? "Mercator" : "");
}

using Case = SampleCase<Sample>;

// A position in degrees to the picture under the transform of the last drawing: in Mercator
// mode the map takes radians, as the loader converts them.
bool ToPicture(float lon, float lat, float& x, float& y) {
    if (View.Projection == 1) {
        lon = static_cast<float>(lon * kDegToRad);
        lat = static_cast<float>(lat * kDegToRad);
    }
    return ll2_to_xy2(lon, lat, x, y) == 0;
}

// A user's session: the program's windows and shared state reset around each test, with the
// Ui's event pump free to act (the key released on the map during an animation).
class UserSession : public ShellFixture {
protected:
    static Picture& map() { return PicFormForm().Picture1->picture(); }
    static OrderFrm& order() { return OrderFrmForm(); }
    static std::string stepBox() { return programText(order().Text10[0]->text()); }
    static Long boxNumber(const QLineEdit* box) {
        return static_cast<Long>(std::lround(Val(programText(box->text()))));
    }

    // The user's folder: a copy of the sample, a coastline and the settings file beside the
    // program, in the projection given. Returns the copy's path.
    std::string prepareFolder(const char* file, Long projection) {
        const std::string dataset = dir.file(file);
        std::filesystem::copy_file(std::filesystem::path(PELORIN_SAMPLES_DIR) / file, dataset);
        const std::string coast = dir.file("coast.bdm");
        WriteCoast(coast);
        std::ofstream(dir.file("Pelorin.ini"))
            << "[coast lines]\r\ncoastline 1=" << coast
            << "\r\n[parameters]\r\nProjection=" << projection << "\r\n"
            << "[URL List]\r\nURLfile 1=" << dataset << "\r\n";
        return dataset;
    }

    // The start-up, the dataset typed into the main window and loaded, the map and order
    // windows opened and sized.
    void startAndOpen(const std::string& dataset, Long projection, Long gridType) {
        ASSERT_TRUE(Main({}, dir.path().string()));
        ASSERT_EQ(Coast.CoastFlag, 1);
        ASSERT_EQ(View.Projection, projection);
        MainForm& main = mainForm();
        main.setComboText(dataset);
        main.cmdLoad->click();
        ASSERT_NE(Data.clsNC, nullptr);
        ASSERT_EQ(Data.clsNC->GridType(1), gridType);
        main.Command2[0]->click();
        ASSERT_TRUE(PicFormLoaded());
        ASSERT_TRUE(OrderFrmLoaded());
        ASSERT_TRUE(order().isVisible());
        QApplication::processEvents(); // the windows take their sizes
    }

    // Deselects every other entry and selects the one of name with a click each, ending with
    // the cursor on it; returns its position.
    static int pickOnly(const std::string& name) {
        QListWidget* list = order().List1;
        int target = -1;
        for (int row = 0; row < list->count(); ++row) {
            const bool wanted = EntryName(order().ListText(row)) == name;
            if (wanted) target = row;
            if (!wanted && order().Selected(row)) ClickEntry(list, row);
        }
        if (target >= 0 && !order().Selected(target)) ClickEntry(list, target);
        return target;
    }

    static void Click(Qt::MouseButton button, int x, int y) {
        QWidget* w = PicFormForm().Picture1;
        const QPointF local(x, y), global(w->mapToGlobal(QPoint(x, y)));
        QMouseEvent press(QEvent::MouseButtonPress, local, global, button, button, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, local, global, button, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(w, &release);
    }

    // A left click, then a double click: back one zoom record, or wider at the first.
    static void DoubleClickMap() {
        QWidget* w = PicFormForm().Picture1;
        const QPointF local(w->width() / 2.0, w->height() / 2.0);
        const QPointF global(w->mapToGlobal(local.toPoint()));
        Click(Qt::LeftButton, w->width() / 2, w->height() / 2);
        QMouseEvent dbl(QEvent::MouseButtonDblClick, local, global, Qt::LeftButton, Qt::LeftButton,
                        Qt::NoModifier);
        QApplication::sendEvent(w, &dbl);
        QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(w, &release);
    }
};

class EndToEndTest : public UserSession, public ::testing::WithParamInterface<Case> {
protected:
    // The pixel at the centre of a cell, with the conditions that make it a fair witness: in
    // the picture, clear of the text lines at the top and bottom, and (for quadrilaterals)
    // clear of the cell's outline.
    static bool centreOf(const CellAt& c, int& px, int& py) {
        std::vector<float> xs, ys;
        for (std::size_t k = 0; k < c.lon.size(); ++k) {
            float x = 0, y = 0;
            if (!ToPicture(c.lon[k], c.lat[k], x, y)) return false;
            xs.push_back(x);
            ys.push_back(y);
        }
        float cx = 0, cy = 0;
        for (std::size_t k = 0; k < xs.size(); ++k)
            cx += xs[k] / static_cast<float>(xs.size()),
                cy += ys[k] / static_cast<float>(ys.size());
        px = static_cast<int>(std::lround(cx));
        py = static_cast<int>(std::lround(cy));
        if (xs.size() == 4) {
            for (std::size_t k = 0; k < 4; ++k) {
                const std::size_t n = (k + 1) % 4;
                if (Distance(static_cast<float>(px), static_cast<float>(py), xs[k], ys[k], xs[n],
                             ys[n]) < 2.0f)
                    return false;
            }
        }
        const Picture& pic = map();
        return px >= 2 && px < pic.width() - 2 && py >= 20 && py < pic.height() - 20;
    }

    // The known cells of the sample at step: each shows its value's colour, each blank stays
    // white. Point renderers draw 3 x 3 boxes: no other point may lie close enough to cover a
    // known one. Returns the colours expected at the cells.
    std::vector<Long> expectCells(const Sample& s, const SampleData& data, Long step) {
        std::vector<std::pair<float, float>> others;
        const bool points =
            s.gridType == kGridCells || s.gridType == kGridFeMesh || s.gridType == kGridFvMesh;
        if (points) {
            for (const auto& [lon, lat] : data.drawnPoints(step)) {
                float x = 0, y = 0;
                ToPicture(lon, lat, x, y);
                others.emplace_back(x, y);
            }
        }
        const Picture& pic = map();
        std::vector<Long> colours;
        for (const Cell& c : s.cells) {
            SCOPED_TRACE("cell " + std::to_string(c.i) + "," + std::to_string(c.j) + " step " +
                         std::to_string(step));
            const CellAt at = data.at(c, step);
            EXPECT_GT(at.value, NoVal);
            const Long colour = ValueToColor(at.value);
            colours.push_back(colour);
            int px = 0, py = 0;
            if (!centreOf(at, px, py)) {
                ADD_FAILURE() << "no fair pixel: " << px << "," << py;
                continue;
            }
            if (points) {
                float x = 0, y = 0;
                ToPicture(at.lon[0], at.lat[0], x, y);
                for (const auto& [ox, oy] : others) {
                    if (ox == x && oy == y) continue;
                    EXPECT_TRUE(std::fabs(ox - x) > 2.5f || std::fabs(oy - y) > 2.5f)
                        << "a neighbour at " << ox << "," << oy << " covers " << x << "," << y;
                }
            }
            EXPECT_EQ(pic.pixel(px, py), colour)
                << "value " << at.value << " at " << px << "," << py << " on " << Scale.ScaleMin
                << " .. " << Scale.ScaleMax;
        }
        for (const Cell& c : s.blanks) {
            SCOPED_TRACE("blank " + std::to_string(c.i) + "," + std::to_string(c.j));
            const CellAt at = data.at(c, step);
            EXPECT_LE(at.value, NoVal);
            int px = 0, py = 0;
            EXPECT_TRUE(centreOf(at, px, py));
            EXPECT_EQ(pic.pixel(px, py), kWhite) << px << "," << py;
        }
        return colours;
    }
};

TEST_P(EndToEndTest, LoadPickDrawStepAndAnimate) {
    const Sample& s = *GetParam().sample;
    const Long projection = GetParam().projection;
    const std::string dataset = prepareFolder(s.file, projection);
    const SampleData data(s, dataset);
    ASSERT_TRUE(data.ok());
    startAndOpen(dataset, projection, s.gridType);
    if (HasFatalFailure()) return;
    EXPECT_EQ(messages(), s.onOpen);
    ui.boxes.clear();

    const int row = pickOnly(s.var);
    ASSERT_GE(row, 0) << s.var << " is not listed";
    ASSERT_EQ(order().ListIndex(), row);
    ASSERT_TRUE(order().Selected(row));
    for (int r = 0; r < order().ListCount(); ++r)
        EXPECT_EQ(order().Selected(r), r == row) << order().ListText(r);

    // The regular grid draws the window the order window shows for the pick (its last two
    // rows: latitude, then longitude); the other grids draw every point of the view.
    const Long nd = Data.clsNC->variNarray(Data.clsNC->variNum(s.var, 1), 1);
    Long latStart = 0, latStride = 1, latCount = 0, lonStart = 0, lonStride = 1, lonCount = 0;
    if (s.gridType == kGridRegular) {
        ASSERT_EQ(nd, 4);
        latStart = boxNumber(order().Text5[2]);
        latStride = boxNumber(order().Text7[2]);
        latCount = boxNumber(order().Text3[2]);
        lonStart = boxNumber(order().Text5[3]);
        lonStride = boxNumber(order().Text7[3]);
        lonCount = boxNumber(order().Text3[3]);
        ASSERT_GT(latStride, 0);
        ASSERT_GT(lonStride, 0);
        for (const Cell& c : s.cells)
            ASSERT_EQ((c.i - lonStart) % lonStride, 0) << "longitude " << c.i << " not walked";
        for (const Cell& c : s.blanks)
            ASSERT_EQ((c.i - lonStart) % lonStride, 0) << "longitude " << c.i << " not walked";
    }
    auto drawnRange = [&](Long step) {
        const std::vector<float> v = data.plane(step);
        Range r;
        if (s.gridType == kGridRegular) {
            for (Long a = 0; a < latCount; ++a)
                for (Long b = 0; b < lonCount; ++b) {
                    const Long j = latStart + a * latStride, i = lonStart + b * lonStride;
                    r.take(v.at(static_cast<std::size_t>((j - 1) * data.nLon() + i - 1)));
                }
        } else {
            for (float x : v)
                r.take(x);
        }
        return r;
    };

    // "Draw": step 1, level 1, the range worked out from the values drawn and stored.
    ASSERT_TRUE(order().Command1[0]->isEnabled());
    order().Command1[0]->click();
    EXPECT_EQ(messages(), Texts{});
    ASSERT_EQ(Data.PickCount, 1);
    EXPECT_EQ(Data.clsNC->variName(Data.Picks(1).varNumber, 1), s.var);
    const bool timed = Data.clsNC->nTime(1) > 1;
    // Step and level are taken from their boxes only where the dataset has the axis.
    EXPECT_EQ(Data.CurTimeStep, timed ? 1 : 0);
    EXPECT_EQ(Data.CurLevel, Data.clsNC->kMax(1) > 0 ? 1 : 0);
    const Range first = drawnRange(1);
    EXPECT_EQ(Scale.ScaleMax, first.max);
    EXPECT_EQ(Scale.ScaleMin, first.min);
    EXPECT_EQ(Scale.ColorCode, 30);
    EXPECT_EQ(Scale.col_opt, 0);
    const std::string stored = GetString(s.var, "Scales", Opt.IniFile);
    // The entry as written (the file keeps the leading blank that the reading trims).
    EXPECT_EQ(stored, Trim(StoredRangeText(first.max, first.min)));
    EXPECT_NE(FileText(Opt.IniFile)
                  .find(std::string(s.var) + "=" + StoredRangeText(first.max, first.min)),
              std::string::npos);
    EXPECT_TRUE(FormColorLoaded() && FormColorForm().isVisible());
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    // On its own range no value of the first map is white (the minimum would be).
    const std::vector<Long> firstColours = expectCells(s, data, 1);
    EXPECT_EQ(std::count(firstColours.begin(), firstColours.end(), kWhite), 0);

    if (!timed) {
        // Without time steps the animation is refused with its message and nothing changes.
        const Long before = map().pixel(10, 10);
        order().Command6[1]->click();
        EXPECT_EQ(messages(),
                  std::vector<std::string>{"This file does not have multiple time dimensions"});
        EXPECT_EQ(map().pixel(10, 10), before);
        expectCells(s, data, 1);
        return;
    }

    // The stored range from now on: words 2 and 3 of the entry, whatever the values.
    const float storedMax = static_cast<float>(GetWord(stored, 2));
    const float storedMin = static_cast<float>(GetWord(stored, 3));

    // ">": the next step on a cleared map, with the stored range.
    order().Command6[0]->click();
    EXPECT_EQ(messages(), Texts{});
    EXPECT_EQ(Data.CurTimeStep, 2);
    EXPECT_EQ(stepBox(), " 2");
    EXPECT_EQ(Scale.ScaleMax, std::max(storedMax, storedMin));
    EXPECT_EQ(Scale.ScaleMin, std::min(storedMax, storedMin));
    EXPECT_EQ(GetString(s.var, "Scales", Opt.IniFile), stored);
    // Values beyond the stored range are white; the map has moved on all the same.
    EXPECT_NE(expectCells(s, data, 2), firstColours);

    // ">>": the steps after the step box's; Esc released on the map after the second.
    int pumps = 0;
    std::string boxAtEsc;
    ui.onDoEvents = [&] {
        if (++pumps != 2) return;
        boxAtEsc = stepBox();
        ReleaseEscOnMap();
    };
    order().Command6[1]->click();
    ui.onDoEvents = {};
    EXPECT_EQ(boxAtEsc, " 4");
    EXPECT_EQ(Data.CurTimeStep, 4);
    EXPECT_EQ(stepBox(), " 4");
    EXPECT_EQ(PicFormForm().caption(), "Drawing Coastline: Canceled");
    EXPECT_EQ(Anim.CancelFlag, 0);
    EXPECT_EQ(messages(), Texts{});
    EXPECT_EQ(Scale.ScaleMax, std::max(storedMax, storedMin));
    EXPECT_EQ(Scale.ScaleMin, std::min(storedMax, storedMin));
    EXPECT_EQ(GetString(s.var, "Scales", Opt.IniFile), stored);
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    EXPECT_NE(expectCells(s, data, 4), firstColours);
}

INSTANTIATE_TEST_SUITE_P(Samples, EndToEndTest, ::testing::ValuesIn(casesOf(samples())),
                         caseName<Sample>);

// ---- Across the longitude seam --------------------------------------------------------------

// A small global grid kept from 0 to 345 degrees: 24 columns of 15 degrees by 9 rows from -60
// to 60, t = i + j / 2 (1-based indices) but 100 at column 20, row 5 (only the copy west of
// the seam shows it after the pan) and no value at column 22, row 3.
constexpr Long kSeamLons = 24, kSeamLats = 9;

float SeamLon(Long i) {
    return 15.0f * static_cast<float>(i - 1);
}
float SeamLat(Long j) {
    return -60.0f + 15.0f * static_cast<float>(j - 1);
}
float SeamValue(Long i, Long j) {
    if (i == 22 && j == 3) return NoVal;
    if (i == 20 && j == 5) return 100;
    return static_cast<float>(i) + 0.5f * static_cast<float>(j);
}

// A grid t(lat, lon) of the axes given, its values from value(i, j) (1-based); NoVal writes
// the fill value.
void WriteLonLatGrid(const std::string& path, const std::vector<double>& lon,
                     const std::vector<double>& lat, const std::function<float(Long, Long)>& value) {
    NcBuilder nc(path);
    nc.dim("lon", static_cast<Long>(lon.size()));
    nc.dim("lat", static_cast<Long>(lat.size()));
    std::vector<double> t;
    for (Long j = 1; j <= static_cast<Long>(lat.size()); ++j)
        for (Long i = 1; i <= static_cast<Long>(lon.size()); ++i)
            t.push_back(value(i, j) <= NoVal ? -999.0 : value(i, j));
    nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values(lon);
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values(lat);
    nc.var("t", NC_FLOAT, {"lat", "lon"})
        .att("units", "degC")
        .att("_FillValue", NC_FLOAT, -999.0f)
        .values(t);
    nc.write();
}

void WriteGlobalGrid(const std::string& path) {
    std::vector<double> lon, lat;
    for (Long i = 1; i <= kSeamLons; ++i)
        lon.push_back(SeamLon(i));
    for (Long j = 1; j <= kSeamLats; ++j)
        lat.push_back(SeamLat(j));
    WriteLonLatGrid(path, lon, lat, SeamValue);
}

class SeamEndToEndTest : public UserSession, public ::testing::WithParamInterface<Long> {
protected:
    // The map position of grid point (i, j) drawn k periods away, in map units.
    static void SeamPoint(Long i, Long j, Long k, float& lon, float& lat) {
        lon = static_cast<float>(Data.lonV(i) +
                                 static_cast<float>(k * static_cast<double>(View.LonPeriod)));
        lat = Data.latV(j);
    }

    // Every grid point that the view holds, on the grid itself or on a copy a period or two
    // away, shows the colour of its value on the range in force (a point without a value stays
    // white). Returns the number of cells checked; copies counts those beyond the seam.
    int ExpectEveryCell(int& copies) {
        const Picture& pic = map();
        const ViewEdges v = CurrentViewEdges();
        int checked = 0;
        copies = 0;
        for (Long k = -2; k <= 2; ++k)
            for (Long i = 1; i <= kSeamLons; ++i)
                for (Long j = 1; j <= kSeamLats; ++j) {
                    float lon = 0, lat = 0;
                    SeamPoint(i, j, k, lon, lat);
                    if (!InView(v, lon, lat)) continue;
                    float x = 0, y = 0;
                    EXPECT_EQ(ll2_to_xy2(lon, lat, x, y), 0);
                    const int px = static_cast<int>(std::lround(x));
                    const int py = static_cast<int>(std::lround(y));
                    // Clear of the text lines at the top and the bottom.
                    if (px < 0 || px >= pic.width() || py < 20 || py >= pic.height() - 20) {
                        ADD_FAILURE() << "no fair pixel for " << i << "," << j << " copy " << k;
                        continue;
                    }
                    const float value = SeamValue(i, j);
                    const Long expected = value <= NoVal ? kWhite : ValueToColor(value);
                    EXPECT_EQ(pic.pixel(px, py), expected)
                        << "column " << i << " row " << j << " copy " << k << " value " << value
                        << " at " << px << "," << py << " on " << Scale.ScaleMin << " .. "
                        << Scale.ScaleMax;
                    ++checked;
                    copies += k != 0 ? 1 : 0;
                }
        return checked;
    }

    // Along each row, every pixel between the last column drawn a period to the west and the
    // first column has the colour of one of the two: no white strip at the seam.
    void ExpectNoStripAtTheSeam() {
        const Picture& pic = map();
        for (Long j = 1; j <= kSeamLats; ++j) {
            float lw = 0, lat = 0, le = 0, x0 = 0, x1 = 0, y = 0;
            SeamPoint(kSeamLons, j, -1, lw, lat);
            SeamPoint(1, j, 0, le, lat);
            ASSERT_EQ(ll2_to_xy2(lw, lat, x0, y), 0);
            ASSERT_EQ(ll2_to_xy2(le, lat, x1, y), 0);
            const Long west = ValueToColor(SeamValue(kSeamLons, j));
            const Long east = ValueToColor(SeamValue(1, j));
            for (long x = std::lround(x0); x <= std::lround(x1); ++x) {
                const Long c = pic.pixel(static_cast<int>(x), static_cast<int>(std::lround(y)));
                EXPECT_TRUE(c == west || c == east) << "row " << j << " pixel " << x << ": " << c;
            }
        }
    }

    // A zoom box dragged with the left button from one corner (degrees) to the other.
    static void ZoomBox(double west, double south, double east, double north) {
        const double f = View.Projection == 1 ? kDegToRad : 1.0;
        float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        ASSERT_EQ(ll2_to_xy2(static_cast<float>(west * f), static_cast<float>(north * f), x0, y0),
                  0);
        ASSERT_EQ(ll2_to_xy2(static_cast<float>(east * f), static_cast<float>(south * f), x1, y1),
                  0);
        PicForm_Picture1_MouseDown(kLeftButton, 0, x0, y0);
        for (int k = 1; k <= 8; ++k)
            PicForm_Picture1_MouseMove(kLeftButton, 0, x0 + (x1 - x0) * k / 8,
                                       y0 + (y1 - y0) * k / 8);
        PicForm_Picture1_MouseUp(kLeftButton, 0, x1, y1);
    }

    static void ReleaseKeyOnMap(Qt::Key key) {
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(PicFormForm().Picture1, &release);
    }

    // The colour of the top box of the colour key: the value ScaleMax.
    static Long LegendTop() {
        Picture& p = FormColorForm().Picture1->picture();
        const float h = static_cast<float>(std::lround(p.ScaleHeight())) / 55;
        const float x1 = static_cast<float>(std::lround(p.ScaleWidth())) / 5;
        return p.pixel(static_cast<int>(x1) + 2, static_cast<int>(1.5f * h));
    }
};

TEST_P(SeamEndToEndTest, DrawAcrossTheSeamProbeAndZoomOut) {
    const Long projection = GetParam();
    const std::string dataset = dir.file("global.nc");
    WriteGlobalGrid(dataset);
    const std::string coast = dir.file("coast.bdm");
    WriteCoast(coast); // south of every row of the grid
    std::ofstream(dir.file("Pelorin.ini"))
        << "[coast lines]\r\ncoastline 1=" << coast
        << "\r\n[parameters]\r\nProjection=" << projection << "\r\n"
        << "[URL List]\r\nURLfile 1=" << dataset << "\r\n";

    ASSERT_TRUE(Main({}, dir.path().string()));
    MainForm& main = mainForm();
    main.setComboText(dataset);
    main.cmdLoad->click();
    ASSERT_NE(Data.clsNC, nullptr);
    ASSERT_EQ(Data.clsNC->GridType(1), kGridRegular);
    main.Command2[0]->click();
    ASSERT_TRUE(PicFormLoaded());
    QApplication::processEvents();
    ui.boxes.clear();
    ASSERT_GE(pickOnly("t"), 0);

    // The left arrow moves the view a third of its width west, across the seam; "Draw" is the
    // variable's first drawing.
    ReleaseKeyOnMap(Qt::Key_Left);
    const double degrees = projection == 1 ? 1 / kDegToRad : 1.0;
    EXPECT_NEAR(View.ViewExtent.West * degrees, -143.75, 1e-3);
    EXPECT_NEAR(View.ViewExtent.East * degrees, 235.75, 1e-3);
    order().Command1[0]->click();
    EXPECT_EQ(messages(), Texts{});
    ASSERT_EQ(Win.seamWindows.size(), 1u);

    // One range over the grid and the copy: the 100 that only the copy shows is its top, and
    // the legend's top box has the colour of that cell on the map.
    EXPECT_EQ(Scale.ScaleMax, 100);
    EXPECT_EQ(Scale.ScaleMin, SeamValue(1, 1));
    EXPECT_EQ(GetString("t", "Scales", Opt.IniFile), Trim(StoredRangeText(100, SeamValue(1, 1))));
    float lon = 0, lat = 0, x = 0, y = 0;
    SeamPoint(20, 5, -1, lon, lat);
    ASSERT_EQ(ll2_to_xy2(lon, lat, x, y), 0);
    const int hotX = static_cast<int>(std::lround(x)), hotY = static_cast<int>(std::lround(y));
    EXPECT_EQ(map().pixel(hotX, hotY), ValueToColor(100));
    EXPECT_EQ(LegendTop(), map().pixel(hotX, hotY));

    int copies = 0;
    EXPECT_EQ(ExpectEveryCell(copies), 16 * 9 + 9 * 9) << "columns 0 .. 225 and -135 .. -15";
    EXPECT_EQ(copies, 9 * 9);
    ExpectNoStripAtTheSeam();

    // A right click on that cell west of the seam: the probe names column 20, row 5 and its value.
    Click(Qt::RightButton, hotX, hotY);
    EXPECT_EQ(messages(), Texts{});
    EXPECT_EQ(FormIJForm().text1(0), " 20");
    EXPECT_EQ(FormIJForm().text1(1), " 5");
    EXPECT_EQ(FormIJForm().text1(14), "100.00000");
    EXPECT_NEAR(Val(FormIJForm().text1(7)), -75, 1e-4);

    // The right arrow brings the first view back (the zoom record follows the pans); a double
    // click past that record widens it by a tenth of its size each side. In Cartesian mode the
    // view is then wider than a period, and copies show on both sides of the whole grid. In
    // Mercator mode it keeps within half a turn west of Greenwich, and still holds the whole
    // grid up to its last column at 345 degrees.
    ReleaseKeyOnMap(Qt::Key_Right);
    DoubleClickMap();
    order().Command1[0]->click();
    EXPECT_EQ(messages(), Texts{});
    EXPECT_NEAR(View.ViewExtent.West * degrees, -55.2, 1e-3);
    if (projection == 1) {
        EXPECT_NEAR(View.ViewExtent.East * degrees, 345, 1e-3);
        EXPECT_EQ(ExpectEveryCell(copies), (24 + 3) * 9);
        EXPECT_EQ(copies, 3 * 9);
    } else {
        EXPECT_NEAR(View.ViewExtent.East * degrees, 400.2, 1e-3);
        EXPECT_EQ(ExpectEveryCell(copies), (24 + 3 + 3) * 9) << "315 .. 345 west, 0 .. 30 east";
        EXPECT_EQ(copies, 6 * 9);
    }
    ExpectNoStripAtTheSeam();

    // A zoom box wholly over the copy west of the grid (columns 22 .. 24 at -45 .. -15): the
    // copy is drawn, every cell at its own place, with no "No data in the view".
    ZoomBox(-52, -64, -8, 64);
    EXPECT_NEAR(View.ViewExtent.West * degrees, -52, 0.5);
    EXPECT_NEAR(View.ViewExtent.East * degrees, -8, 0.5);
    order().Command1[0]->click();
    EXPECT_EQ(messages(), Texts{});
    EXPECT_EQ(ExpectEveryCell(copies), 3 * 9);
    EXPECT_EQ(copies, 3 * 9);
}

INSTANTIATE_TEST_SUITE_P(Projections, SeamEndToEndTest, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<Long>& p) {
                             return std::string(p.param == 1 ? "Mercator" : "Cartesian");
                         });

// ---- Every cell of the copies after zooming out ----------------------------------------------

// Global grids in the shapes datasets have them, drawn at a longitude stride above 1 (typed into
// the stride box, or the automatic one of a wide grid), first as loaded and then after two
// zoom-outs by double click. Every pixel along the middle of each row is checked against where
// the grid's own axis puts each cell: the grid and every copy beyond the seam show the same
// columns (the copies a whole period away), each cell reaching half way to its neighbours at the
// stride and half a spacing past the grid's ends, and no pixel of the picture is left white.
struct GlobalGrid {
    const char* name;
    double lon0;  // the first longitude, degrees
    double dlon;  // the spacing
    Long nLon;    // columns
    Long projection;
    const char* stride; // the stride box's text; "" for the automatic stride
};

class SeamCopiesEndToEndTest : public UserSession, public ::testing::WithParamInterface<GlobalGrid> {
protected:
    static constexpr Long kRows = 5; // -40 .. 40 by 20

    static double gridLon(Long i) { return GetParam().lon0 + GetParam().dlon * (i - 1); }
    static double gridLat(Long j) { return -40.0 + 20.0 * (j - 1); }
    // Neighbouring columns far apart in the colour range, so that a column off shows.
    static float value(Long i, Long j) { return static_cast<float>((37 * i + 11 * j) % 101); }

    void writeGrid(const std::string& path) {
        std::vector<double> lon, lat;
        for (Long i = 1; i <= GetParam().nLon; ++i)
            lon.push_back(gridLon(i));
        for (Long j = 1; j <= kRows; ++j)
            lat.push_back(gridLat(j));
        WriteLonLatGrid(path, lon, lat, value);
    }

    // The stride the window takes: the box's, or one step per 40th of the grid's columns in
    // the view (every view here holds the whole grid).
    static Long lonStride() {
        const std::string box = GetParam().stride;
        if (!box.empty()) return std::stol(box);
        return std::max<Long>(1, std::lround(GetParam().nLon / 40.0));
    }

    // The column whose cell holds the longitude lon (degrees, any copy), as a fractional index
    // brought into the grid's own period (0.5 .. nLon + 0.5); then the sampled column whose cell
    // holds it: columns 1, 1 + s, ...; each cell reaching half way to the next sampled column,
    // and the last one to the grid's end.
    static Long cellAt(double lon, double& index) {
        const Long n = GetParam().nLon, s = lonStride();
        index = (lon - GetParam().lon0) / GetParam().dlon + 1;
        index -= n * std::floor((index - 0.5) / n);
        Long c = 1 + s * static_cast<Long>(std::floor((index - 1 + s / 2.0) / s));
        const Long last = 1 + s * ((n - 1) / s);
        if (c > last) c = last;
        return c;
    }

    // Every pixel along the middle of each row: the colour of the cell the grid's axis puts
    // there, never white; pixels within half a pixel of a cell's edge are passed over.
    // Returns the number of pixels checked west of the grid's first column.
    int expectEveryPixel(const char* when) {
        const Picture& pic = map();
        const double toMap = View.Projection == 1 ? kDegToRad : 1.0;
        int westOfGrid = 0, failures = 0;
        for (Long j = 1; j <= kRows; ++j) {
            float x = 0, y = 0;
            EXPECT_EQ(ll2_to_xy2(0, static_cast<float>(gridLat(j) * toMap), x, y), 0);
            const int py = static_cast<int>(std::lround(y));
            for (int px = 0; px < pic.width(); ++px) {
                double lonA = 0, lonB = 0, lat = 0, lonC = 0;
                // The pixel covers px .. px + 1; half a pixel more on each side for rounding.
                pix_to_ll(static_cast<float>(px) - 0.5f, static_cast<float>(py), lonA, lat);
                pix_to_ll(static_cast<float>(px) + 1.5f, static_cast<float>(py), lonB, lat);
                pix_to_ll(static_cast<float>(px) + 0.5f, static_cast<float>(py), lonC, lat);
                double ia = 0, ib = 0, ic = 0;
                const Long c = cellAt(lonC / toMap, ic);
                if (cellAt(lonA / toMap, ia) != c || cellAt(lonB / toMap, ib) != c) continue;
                if (ia > ib) continue; // across the seam
                const Long got = pic.pixel(px, py);
                const Long want = ValueToColor(value(c, j));
                if (got != want && ++failures <= 12)
                    ADD_FAILURE() << when << ": row " << j << " pixel " << px << " at "
                                  << lonC / toMap << " degrees shows " << got << ", column " << c
                                  << " is " << want << (got == kWhite ? " (white)" : "");
                westOfGrid += lonC < Data.lonV(1) ? 1 : 0;
            }
        }
        EXPECT_EQ(failures, 0) << when;
        return westOfGrid;
    }
};

TEST_P(SeamCopiesEndToEndTest, EveryCellOfTheCopiesAtItsOwnColumnAfterZoomingOut) {
    const GlobalGrid& g = GetParam();
    const std::string dataset = dir.file("global.nc");
    writeGrid(dataset);
    const std::string coast = dir.file("coast.bdm");
    WriteCoast(coast);
    std::ofstream(dir.file("Pelorin.ini"))
        << "[coast lines]\r\ncoastline 1=" << coast
        << "\r\n[parameters]\r\nProjection=" << g.projection << "\r\n"
        << "[URL List]\r\nURLfile 1=" << dataset << "\r\n";
    startAndOpen(dataset, g.projection, kGridRegular);
    ui.boxes.clear();
    ASSERT_GE(pickOnly("t"), 0);
    order().Text11[1]->setText(qtText(g.stride)); // the longitude's stride box

    order().Command1[0]->click();
    EXPECT_EQ(messages(), Texts{});
    EXPECT_EQ(Win.stride(2), lonStride());
    expectEveryPixel("the first view");

    for (const char* when : {"one zoom-out", "two zoom-outs"}) {
        DoubleClickMap();
        order().Command1[0]->click();
        EXPECT_EQ(messages(), Texts{}) << when;
        const int westOfGrid = expectEveryPixel(when);
        // Mercator mode widens the view no further than half a turn west of Greenwich: a grid
        // from -180 shows its western copy only where the picture is wider than the view.
        double west = 0, lat = 0;
        pix_to_ll(0, 0, west, lat);
        if (west < Data.lonV(1) - 2 * g.dlon * (g.projection == 1 ? kDegToRad : 1.0)) {
            EXPECT_GT(westOfGrid, 0) << when << ": the copy west of the grid is checked";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Grids, SeamCopiesEndToEndTest,
    ::testing::Values(GlobalGrid{"From0By1Box3", 0, 1, 360, 0, "3"},
                      GlobalGrid{"From0By1Box3Mercator", 0, 1, 360, 1, "3"},
                      GlobalGrid{"FromMinus180Box2", -180, 1, 360, 0, "2"},
                      GlobalGrid{"FromMinus180AutomaticMercator", -180, 1, 360, 1, ""},
                      GlobalGrid{"CentresAtHalfAutomatic", 0.5, 1, 360, 0, ""},
                      GlobalGrid{"QuarterDegreeAutomaticMercator", 0.125, 0.25, 1440, 1, ""},
                      GlobalGrid{"OddWidthBox2", 360.0 / 145 / 2, 360.0 / 145, 145, 0, "2"},
                      GlobalGrid{"OddWidthBox3Mercator", 360.0 / 145 / 2, 360.0 / 145, 145, 1, "3"},
                      GlobalGrid{"TwoAndAHalfBox4Mercator", 0, 2.5, 144, 1, "4"},
                      GlobalGrid{"TwoAndAHalfBox1", -180, 2.5, 144, 0, "1"}),
    [](const ::testing::TestParamInfo<GlobalGrid>& p) { return std::string(p.param.name); });

// ---- A subset saved, loaded and drawn --------------------------------------------------------

// The regular sample drawn, a window of it saved with "Save to local file" and loaded with
// "Load", the subset drawn: its cells show the colours the source's cells showed (the range
// of the variable is the one stored by the first drawing), and a land cell stays white.
class SubsetEndToEndTest : public UserSession, public ::testing::WithParamInterface<Long> {
protected:
    // The colour at a grid point of level 1, step 1, under the transform of the last drawing.
    static Long colourAt(const CellAt& at) {
        float x = 0, y = 0;
        EXPECT_TRUE(ToPicture(at.lon[0], at.lat[0], x, y));
        const int px = static_cast<int>(std::lround(x)), py = static_cast<int>(std::lround(y));
        // In the picture, clear of the text lines at the top and the bottom.
        EXPECT_TRUE(px >= 0 && px < map().width() && py >= 20 && py < map().height() - 20)
            << px << "," << py;
        return map().pixel(px, py);
    }
    static void setRow(std::size_t row, Long start, Long end, Long step) {
        order().Text5[row]->setText(qtText(Str(start)));
        order().Text6[row]->setText(qtText(Str(end)));
        order().Text7[row]->setText(qtText(Str(step)));
    }
};

TEST_P(SubsetEndToEndTest, SaveASubsetLoadItAndDrawIt) {
    const Long projection = GetParam();
    const Sample& s = samples().front();
    ASSERT_STREQ(s.file, "regular_global.nc");
    const std::string dataset = prepareFolder(s.file, projection);
    const SampleData data(s, dataset);
    ASSERT_TRUE(data.ok());
    startAndOpen(dataset, projection, kGridRegular);
    if (HasFatalFailure()) return;
    ui.boxes.clear();

    ASSERT_GE(pickOnly("temp"), 0);
    order().Command1[0]->click();
    ASSERT_EQ(messages(), Texts{});
    const float max = Scale.ScaleMax, min = Scale.ScaleMin;
    // Sea cells of the window saved, walked by the source's drawing, and a land cell.
    const std::vector<Cell> sea = {{67, 19}, {51, 14}, {71, 28}, {57, 12}};
    const Cell land = {41, 19};
    // A sea cell west of the window, drawn by the source but left out of the subset.
    const Cell outside = {39, 14};
    ASSERT_NE(colourAt(data.at(outside, 1)), kWhite);
    std::vector<Long> colours;
    for (const Cell& c : sea) {
        const CellAt at = data.at(c, 1);
        ASSERT_GT(at.value, NoVal);
        colours.push_back(colourAt(at));
        EXPECT_EQ(colours.back(), ValueToColor(at.value));
    }
    ASSERT_LE(data.at(land, 1).value, NoVal);

    // Steps 1 and 2, the top level, latitudes 10 to 30, longitudes 41 to 72.
    setRow(0, 1, 2, 1);
    setRow(1, 1, 1, 1);
    setRow(2, 10, 30, 1);
    setRow(3, 41, 72, 1);
    const std::string saved = dir.file("subset.nc");
    ui.fileAnswers = {saved};
    ui.shortMsgAnswers = {kYes}; // "Load"
    order().Command1[1]->click();
    EXPECT_EQ(messages(), Texts{});
    // The load comes once the save has ended.
    ASSERT_EQ(Data.clsNC->FName(1), dataset);
    QApplication::processEvents();
    ASSERT_NE(Data.clsNC, nullptr);
    ASSERT_EQ(Data.clsNC->FName(1), saved);
    EXPECT_EQ(Data.clsNC->GridType(1), kGridRegular);
    EXPECT_EQ(Data.clsNC->nLon(1), 32);
    EXPECT_EQ(Data.clsNC->nLat(1), 21);
    EXPECT_EQ(Data.clsNC->nTime(1), 2);

    mainForm().Command2[0]->click();
    QApplication::processEvents();
    ASSERT_GE(pickOnly("temp"), 0);
    order().Command1[0]->click();
    EXPECT_EQ(messages(), Texts{});
    EXPECT_EQ(Scale.ScaleMax, max);
    EXPECT_EQ(Scale.ScaleMin, min);
    for (std::size_t k = 0; k < sea.size(); ++k)
        EXPECT_EQ(colourAt(data.at(sea[k], 1)), colours[k])
            << "cell " << sea[k].i << "," << sea[k].j;
    EXPECT_EQ(colourAt(data.at(land, 1)), kWhite);
    EXPECT_EQ(colourAt(data.at(outside, 1)), kWhite);
}

INSTANTIATE_TEST_SUITE_P(Projections, SubsetEndToEndTest, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<Long>& p) {
                             return std::string(p.param == 1 ? "Mercator" : "Cartesian");
                         });

// ---- A section along a path drawn on the map ------------------------------------------------

// The regular sample with its levels: temp picked, "Section" pressed, a diagonal path over the
// Pacific clicked on the map and ended with a double click; the control draws the section in
// the host window. The host window resized draws it again at its size; a step in time draws
// the next month; the main window's shut-down takes the host window with it.
class SectionEndToEndTest : public UserSession, public ::testing::WithParamInterface<Long> {
protected:
    void SetUp() override {
        UserSession::SetUp();
        previousFolder_ = SetSectionResourceFolder(PELORIN_BIN_DIR);
    }
    void TearDown() override {
        UserSession::TearDown();
        SetSectionResourceFolder(previousFolder_);
    }

    // The mouse on the map at a position in degrees.
    static void send(QEvent::Type type, float lon, float lat) {
        float x = 0, y = 0;
        ASSERT_TRUE(ToPicture(lon, lat, x, y));
        SendMapMouse(type, x, y);
    }
    static void click(float lon, float lat) {
        send(QEvent::MouseButtonPress, lon, lat);
        send(QEvent::MouseButtonRelease, lon, lat);
    }

    static QWidget* control() { return OCXHostForm().control(); }
    static std::vector<Long> filledColours() {
        std::vector<Long> out;
        for (const ControlDrawn& d : ControlRecords(control(), "picSection", "FilledBox"))
            out.push_back(d.color);
        return out;
    }
    static QImage image() { return ControlImage(control(), "Picture1"); }
    // Pixels of the picture that are neither white nor black.
    static int colouredPixels(const QImage& img) {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb p = img.pixel(x, y) & 0xFFFFFF;
                if (p != 0xFFFFFF && p != 0) ++n;
            }
        return n;
    }

private:
    std::string previousFolder_;
};

TEST_P(SectionEndToEndTest, DrawAPathOpenTheSectionResizeAndStep) {
    const Long projection = GetParam();
    const std::string dataset = prepareFolder("regular_global.nc", projection);
    startAndOpen(dataset, projection, kGridRegular);
    if (HasFatalFailure()) return;
    ASSERT_GT(Data.clsNC->kMax(1), 1);
    ui.boxes.clear();
    ASSERT_GE(pickOnly("temp"), 0);

    order().Command1[3]->click();
    ASSERT_EQ(messages(), Texts{});
    ASSERT_TRUE(OCXHostLoaded());
    EXPECT_TRUE(OCXHostForm().isVisible());
    EXPECT_EQ(View.MouseState, kMouseSectionPath);
    EXPECT_EQ(ui.MousePointer(), kPointerCross);
    ASSERT_NE(control(), nullptr);
    RecordControlPictures(control());

    // South-west to north-east over the open Pacific.
    click(-170, -20);
    click(-150, 0);
    click(-130, 20);
    send(QEvent::MouseButtonDblClick, -130, 20);
    send(QEvent::MouseButtonRelease, -130, 20);
    EXPECT_EQ(messages(), Texts{});
    ASSERT_EQ(View.SectionPathCount, 3);
    EXPECT_EQ(View.MouseState, kMouseZoom);
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);

    LateBound tyx(control());
    EXPECT_EQ(tyx.Call("ItemName", {Variant(Long{1})}).toString(), "temp");
    EXPECT_EQ(tyx.Get("DrawVerticalSection").toLong(), -1);
    EXPECT_EQ(tyx.Get("UseColorKey").toLong(), 0);
    const std::vector<Long> first = filledColours();
    // Three levels of cells along the path, and the ramp's legend.
    ASSERT_GT(first.size(), 50u + 3u * 4u);
    const Texts dates = ControlPrinted(control(), "picDateTime");
    ASSERT_EQ(dates.size(), 1u);
    EXPECT_TRUE(OCXHostForm().isVisible());
    const QImage shown = image();
    EXPECT_EQ(shown.size(), OCXHostForm().size());
    EXPECT_GT(colouredPixels(shown), 1000);

    // The host window resized: the control fills it and draws the same section at its size.
    RecordControlPictures(control());
    OCXHostForm().resize(500, 330);
    QApplication::processEvents();
    EXPECT_EQ(control()->geometry(), QRect(0, 0, 500, 330));
    EXPECT_EQ(image().size(), QSize(500, 330));
    EXPECT_EQ(filledColours(), first);
    EXPECT_GT(colouredPixels(image()), 1000);

    // The next month: another date and other colours along the same cells.
    RecordControlPictures(control());
    EXPECT_EQ(tyx.Call("AdvanceTime", {Variant(Long{1})}).toLong(), 2);
    const Texts next = ControlPrinted(control(), "picDateTime");
    ASSERT_EQ(next.size(), 1u);
    EXPECT_NE(next, dates);
    const std::vector<Long> second = filledColours();
    EXPECT_EQ(second.size(), first.size());
    EXPECT_NE(second, first);
    EXPECT_EQ(messages(), Texts{});

    // The shut-down unloads the host window with the others.
    mainForm().close();
    EXPECT_FALSE(OCXHostLoaded());
}

INSTANTIATE_TEST_SUITE_P(Projections, SectionEndToEndTest, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<Long>& p) {
                             return std::string(p.param == 1 ? "Mercator" : "Cartesian");
                         });

// ---- Vector pairs ---------------------------------------------------------------------------

// The samples with a u/v pair on the regular and the GMT grids, picked with two clicks, drawn
// with "Draw" and (with a time axis) animated with ">>" until Esc: every grid point of the view
// whose pair has a value gets one arrow, based at its place on the map, and no other point does.
struct PairSample {
    const char* file;
    const char* u;
    const char* v;
    Long gridType;
};

const std::vector<PairSample>& pairSamples() {
    static const std::vector<PairSample> list = {
        {"regular_global.nc", "u", "v", kGridRegular},
        {"regular_wind.nc", "uwnd", "vwnd", kGridRegular},
        {"gmt_currents.nc", "u", "v", kGridGmt},
    };
    return list;
}

using PairCase = SampleCase<PairSample>;

// A pair sample as netCDF-C reads it: the pair of level 1 at a step, at grid point (i, j) with
// j counted from the south (the GMT grid stores its northern row first).
class PairData {
public:
    PairData(const PairSample& s, const std::string& path) : s_(s), nc_(path) {
        u_ = nc_.values(s.u);
        v_ = nc_.values(s.v);
        if (s.gridType == kGridGmt) {
            GmtAxes(nc_, lon_, lat_, nLon_, nLat_);
            return;
        }
        lon_ = nc_.values("lon");
        lat_ = nc_.values("lat");
        nLon_ = static_cast<Long>(lon_.size());
        nLat_ = static_cast<Long>(lat_.size());
        levels_ = std::max<std::size_t>(nc_.dim("depth"), 1);
    }
    bool ok() const { return nc_.ok() && !u_.empty() && u_.size() == v_.size(); }
    Long nLon() const { return nLon_; }
    Long nLat() const { return nLat_; }
    float lon(Long i) const { return lon_.at(static_cast<std::size_t>(i - 1)); }
    float lat(Long j) const { return lat_.at(static_cast<std::size_t>(j - 1)); }
    // u and v at a point; a missing component (fill value or NaN) as NoVal.
    std::pair<float, float> at(Long i, Long j, Long step) const {
        const std::size_t row = s_.gridType == kGridGmt ? static_cast<std::size_t>(nLat_ - j)
                                                        : static_cast<std::size_t>(j - 1);
        const std::size_t n =
            (static_cast<std::size_t>(step - 1) * levels_ * static_cast<std::size_t>(nLat_) + row) *
                static_cast<std::size_t>(nLon_) +
            static_cast<std::size_t>(i - 1);
        auto value = [](float x) { return std::isnan(x) ? NoVal : x; };
        return {value(u_.at(n)), value(v_.at(n))};
    }

private:
    const PairSample& s_;
    NcFile nc_;
    std::vector<float> u_, v_, lon_, lat_;
    Long nLon_ = 0, nLat_ = 0;
    std::size_t levels_ = 1;
};

class VectorEndToEndTest : public UserSession, public ::testing::WithParamInterface<PairCase> {
protected:
    // The grid points the drawing walked: those of the order window's boxes for the pick on a
    // regular grid (the last two rows: latitude, then longitude), every point on a GMT grid.
    struct Walk {
        Long iStart = 1, iStride = 1, iCount = 0, jStart = 1, jStride = 1, jCount = 0;
    };
    Walk walkOf(const PairSample& s, const PairData& data) {
        Walk w;
        if (s.gridType == kGridGmt) {
            w.iCount = data.nLon();
            w.jCount = data.nLat();
            return w;
        }
        const Long nd = Data.clsNC->variNarray(Data.Picks(1).varNumber, 1);
        const int lat = static_cast<int>(nd - 2), lon = static_cast<int>(nd - 1);
        w.jStart = boxNumber(order().Text5[lat]);
        w.jStride = boxNumber(order().Text7[lat]);
        w.jCount = boxNumber(order().Text3[lat]);
        w.iStart = boxNumber(order().Text5[lon]);
        w.iStride = boxNumber(order().Text7[lon]);
        w.iCount = boxNumber(order().Text3[lon]);
        return w;
    }

    // The arrows drawn since record from: each line arrow is four lines, its shaft from the base
    // first. The first is the reference arrow when reference is set.
    static std::vector<std::pair<double, double>> arrowBases(size_t from) {
        std::vector<std::pair<double, double>> out;
        const auto& recs = map().records();
        for (size_t k = from; k + 3 < recs.size(); ++k) {
            if (recs[k].kind != DrawKind::Line) continue;
            out.emplace_back(recs[k].at[0], recs[k].at[1]);
            k += 3;
        }
        return out;
    }
    static size_t lastClear() {
        size_t at = 0;
        const auto& recs = map().records();
        for (size_t k = 0; k < recs.size(); ++k)
            if (recs[k].kind == DrawKind::Cls) at = k;
        return at;
    }

    // Every walked point with a pair that is not zero has its arrow at its place, in the order
    // of the walk, and its base pixel is drawn; points without a value have none. On a global
    // grid the copies beyond the seam that the view reaches follow, a whole period away.
    void expectArrows(const PairSample& s, const PairData& data, const Walk& w, Long step,
                      size_t from, bool reference) {
        const auto bases = arrowBases(from);
        size_t next = reference ? 1 : 0;
        Long expected = 0, shown = 0;
        const Picture& pic = map();
        auto walk = [&](Long iStart, Long iStride, Long iCount, float shift) {
            for (Long b = 0; b < w.jCount; ++b) {
                for (Long a = 0; a < iCount; ++a) {
                    // The GMT value vector runs from the northern row.
                    const Long j =
                        s.gridType == kGridGmt ? data.nLat() - b : w.jStart + b * w.jStride;
                    const Long i = iStart + a * iStride;
                    const auto [u, v] = data.at(i, j, step);
                    if (u <= NoVal || v <= NoVal || (u == 0 && v == 0)) continue;
                    ++expected;
                    float x = 0, y = 0;
                    ASSERT_TRUE(ToPicture(data.lon(i) + shift, data.lat(j), x, y));
                    ASSERT_LT(next, bases.size()) << "no arrow for " << i << "," << j;
                    EXPECT_NEAR(bases[next].first, x, 0.05) << i << "," << j << " " << shift;
                    EXPECT_NEAR(bases[next].second, y, 0.05) << i << "," << j << " " << shift;
                    ++next;
                    const int px = static_cast<int>(std::lround(x));
                    const int py = static_cast<int>(std::lround(y));
                    if (px < 0 || px >= pic.width() || py < 20 || py >= pic.height() - 20) continue;
                    EXPECT_NE(pic.pixel(px, py), kWhite) << "arrow base of " << i << "," << j;
                    ++shown;
                }
            }
        };
        walk(w.iStart, w.iStride, w.iCount, 0);
        const Long nd = Data.clsNC->variNarray(Data.Picks(1).varNumber, 1);
        for (const SeamWindow& seam : Win.seamWindows) {
            if (!seam.pairRead) continue;
            const float periods = std::round(seam.shift / View.LonPeriod);
            walk(seam.startp(nd), seam.stride(nd), seam.countp(nd), 360 * periods);
        }
        EXPECT_EQ(bases.size(), next) << "arrows where the pair has no value";
        EXPECT_GT(expected, 50);
        EXPECT_GT(shown, expected / 2);
    }
};

TEST_P(VectorEndToEndTest, PickAPairDrawAndAnimate) {
    const PairSample& s = *GetParam().sample;
    const Long projection = GetParam().projection;
    const std::string dataset = prepareFolder(s.file, projection);
    const PairData data(s, dataset);
    ASSERT_TRUE(data.ok());
    startAndOpen(dataset, projection, s.gridType);
    if (HasFatalFailure()) return;
    ui.boxes.clear();

    // u, then v, with a click each.
    const int uRow = pickOnly(s.u);
    ASSERT_GE(uRow, 0);
    int vRow = -1;
    for (int row = 0; row < order().ListCount(); ++row)
        if (EntryName(order().ListText(row)) == s.v) vRow = row;
    ASSERT_GT(vRow, uRow);
    ClickEntry(order().List1, vRow);

    map().setRecording(true);
    map().clearRecords();
    order().Command1[0]->click();
    EXPECT_EQ(messages(), Texts{});
    ASSERT_EQ(Data.PickCount, 2);
    const Walk walk = walkOf(s, data);
    expectArrows(s, data, walk, 1, 0, true);
    EXPECT_EQ(GetString("vscale", "Scales", Opt.IniFile), "10");
    EXPECT_FALSE(FormColorLoaded() && FormColorForm().isVisible()) << "no colour key for arrows";
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    if (Data.clsNC->nTime(1) <= 1) return;

    // ">>" from step 1; Esc released on the map after the second step drawn.
    int pumps = 0;
    ui.onDoEvents = [&] {
        if (++pumps == 2) ReleaseEscOnMap();
    };
    map().clearRecords();
    order().Command6[1]->click();
    ui.onDoEvents = {};
    EXPECT_EQ(messages(), Texts{});
    EXPECT_EQ(Data.CurTimeStep, 3);
    EXPECT_EQ(stepBox(), " 3");
    EXPECT_EQ(PicFormForm().caption(), "Drawing Coastline: Canceled");
    EXPECT_EQ(Anim.CancelFlag, 0);
    expectArrows(s, data, walk, 3, lastClear(), false);
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
}

INSTANTIATE_TEST_SUITE_P(Samples, VectorEndToEndTest, ::testing::ValuesIn(casesOf(pairSamples())),
                         caseName<PairSample>);

// ---- Vector pairs on points ------------------------------------------------------------------

// The samples with a u/v pair on cells, a boundary-fitted grid and meshes, picked together,
// drawn with "Draw", stepped with ">" and animated with ">>" until Esc: every arrow stands at a
// point of the sample whose pair is not zero, points the way its u and v point and is as long
// as the scale makes it; the boundary-fitted animation ends on its period mean.
struct PointPairSample {
    const char* file;
    Long gridType;
};

const std::vector<PointPairSample>& pointPairSamples() {
    static const std::vector<PointPairSample> list = {{"stations.nc", kGridCells},
                                                      {"bfg_coastal.nc", kGridBfg},
                                                      {"fe_mesh.nc", kGridFeMesh},
                                                      {"fv_mesh.nc", kGridFvMesh}};
    return list;
}

// One arrow: its base and its shaft as far as the head, in picture units.
struct ArrowAt {
    float x, y, dx, dy;
};

class PointPairEndToEndTest : public UserSession,
                              public ::testing::WithParamInterface<SampleCase<PointPairSample>> {
protected:
    // Selects exactly the entries of the names given, with a click each.
    static void pickOnlyThese(const std::vector<std::string>& names) {
        QListWidget* list = order().List1;
        for (int row = 0; row < list->count(); ++row) {
            const std::string name = EntryName(order().ListText(row));
            const bool wanted = std::find(names.begin(), names.end(), name) != names.end();
            if (wanted != order().Selected(row)) ClickEntry(list, row);
        }
    }

    // The arrows of u and v at level 1 of step: every point with both, not both 0, in the
    // order of the values.
    static std::vector<ArrowAt> expected(const NcFile& nc, Long step) {
        const std::vector<float> u = nc.values("u"), v = nc.values("v");
        const std::vector<float> lon = nc.values("lon"), lat = nc.values("lat");
        const std::size_t perStep = u.size() / nc.dim("time");
        const std::size_t first = perStep * static_cast<std::size_t>(step - 1);
        std::vector<ArrowAt> out;
        for (std::size_t k = 0; k < lon.size(); ++k) {
            const float a = u.at(first + k), b = v.at(first + k);
            if (a <= NoVal || b <= NoVal || (a == 0 && b == 0)) continue;
            float x = 0, y = 0;
            EXPECT_TRUE(ToPicture(lon[k], lat[k], x, y));
            out.push_back({x, y, 0.55f * Opt.vscale * a, -0.55f * Opt.vscale * b});
        }
        return out;
    }

    // The line arrows of the map since it was last cleared (four lines each, the shaft first);
    // with a reference arrow, that first one left out.
    static std::vector<ArrowAt> drawn(bool withReference) {
        std::vector<const DrawRecord*> lines;
        for (const DrawRecord& r : map().records()) {
            if (r.kind == DrawKind::Cls) lines.clear();
            if (r.kind == DrawKind::Line) lines.push_back(&r);
        }
        std::vector<ArrowAt> out;
        for (std::size_t k = withReference ? 4 : 0; k + 3 < lines.size(); k += 4) {
            const auto& a = lines[k]->at;
            out.push_back({static_cast<float>(a[0]), static_cast<float>(a[1]),
                           static_cast<float>(a[2] - a[0]), static_cast<float>(a[3] - a[1])});
        }
        return out;
    }

    static void expectArrows(const NcFile& nc, Long step, bool withReference) {
        SCOPED_TRACE("step " + std::to_string(step));
        const std::vector<ArrowAt> want = expected(nc, step);
        const std::vector<ArrowAt> got = drawn(withReference);
        ASSERT_GT(want.size(), 10u);
        ASSERT_EQ(got.size(), want.size());
        for (std::size_t n = 0; n < want.size(); ++n) {
            EXPECT_NEAR(got[n].x, want[n].x, 0.01) << "arrow " << n;
            EXPECT_NEAR(got[n].y, want[n].y, 0.01) << "arrow " << n;
            EXPECT_NEAR(got[n].dx, want[n].dx, 0.01) << "arrow " << n;
            EXPECT_NEAR(got[n].dy, want[n].dy, 0.01) << "arrow " << n;
        }
    }
};

TEST_P(PointPairEndToEndTest, PickThePairDrawStepAndAnimate) {
    const PointPairSample& s = *GetParam().sample;
    const Long projection = GetParam().projection;
    const std::string dataset = prepareFolder(s.file, projection);
    const NcFile nc(dataset);
    ASSERT_TRUE(nc.ok());
    startAndOpen(dataset, projection, s.gridType);
    if (HasFatalFailure()) return;
    ui.boxes.clear();

    pickOnlyThese({"u", "v"});
    map().setRecording(true);
    map().clearRecords();

    // "Draw": the arrows of step 1 over the frame, the reference arrow first; the scale that
    // was not set is 10 and is stored.
    order().Command1[0]->click();
    EXPECT_EQ(messages(), Texts{});
    ASSERT_EQ(Data.PickCount, 2);
    EXPECT_EQ(Opt.vscale, 10);
    EXPECT_EQ(GetString("vscale", "Scales", Opt.IniFile), "10");
    expectArrows(nc, 1, true);
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    EXPECT_FALSE(FormColorLoaded() && FormColorForm().isVisible()) << "no colour key for a pair";

    // ">": step 2 on a cleared map.
    order().Command6[0]->click();
    EXPECT_EQ(messages(), Texts{});
    EXPECT_EQ(Data.CurTimeStep, 2);
    expectArrows(nc, 2, true);

    // ">>": steps 3 and 4, Esc released on the map after the second.
    int pumps = 0;
    ui.onDoEvents = [&] {
        if (++pumps == 2) ReleaseEscOnMap();
    };
    order().Command6[1]->click();
    ui.onDoEvents = {};
    EXPECT_EQ(messages(), Texts{});
    EXPECT_EQ(Data.CurTimeStep, 4);
    EXPECT_EQ(stepBox(), " 4");
    EXPECT_EQ(PicFormForm().caption(), "Drawing Coastline: Canceled");
    EXPECT_EQ(Anim.CancelFlag, 0);
    EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    if (s.gridType != kGridBfg) {
        expectArrows(nc, 4, false);
        return;
    }
    // The boundary-fitted grid ends on the mean of steps 3 and 4, written beside the settings:
    // one line and one arrow for each node with a vector at either step.
    const std::vector<float> u = nc.values("u"), v = nc.values("v");
    const std::size_t plane = nc.values("lon").size();
    std::size_t moving = 0;
    for (std::size_t k = 0; k < plane; ++k) {
        bool any = false;
        for (std::size_t t : {2u, 3u}) {
            const float a = u.at(t * plane + k), b = v.at(t * plane + k);
            any = any || (a > NoVal && b > NoVal && (a != 0 || b != 0));
        }
        moving += any ? 1 : 0;
    }
    const std::string average = FileText(dir.file("average.uv"));
    EXPECT_EQ(static_cast<std::size_t>(std::count(average.begin(), average.end(), '\n')), moving);
    EXPECT_EQ(drawn(true).size(), moving);
}

INSTANTIATE_TEST_SUITE_P(Samples, PointPairEndToEndTest,
                         ::testing::ValuesIn(casesOf(pointPairSamples())),
                         caseName<PointPairSample>);

} // namespace
