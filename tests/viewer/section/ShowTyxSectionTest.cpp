// The section driver and its host window, with a recording control in place of the plug-in's:
// the members called in their order with the path in degrees and the default key, the control's
// text on a failed status, errors of the calls themselves, and the host window's life.
#include "viewer/section/ShowTyxSection.h"

#include "tests/viewer/ViewerFixture.h"
#include "tests/viewer/fake/RecordingTyx.h"

#include "platform/Component.h"
#include "viewer/map/BusyGuard.h"
#include "viewer/map/SharedState.h"
#include "gui/ScreenPlace.h"
#include "viewer/section/OCXHost.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QRect>
#include <QScreen>
#include <QString>
#include <QVariant>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;


// Every member in the order of a complete run along n vertices.
Strings fullRun(int vertices) {
    Strings out = {"NcFile", "NewSection"};
    for (int i = 0; i < vertices; ++i)
        out.push_back("AddSection");
    out.insert(out.end(), {"EndSection", "SetVarByOrder", "KewFile", "NewColorKey"});
    for (int i = 0; i < 11; ++i)
        out.push_back("AddColorKey");
    out.insert(out.end(), {"DrawProfile=", "DrawVerticalSection=", "Draw"});
    return out;
}

Strings firstOf(const Strings& all, std::size_t n) {
    return Strings(all.begin(), all.begin() + static_cast<long>(n));
}

class ShowTyxSectionTest : public ViewerFixture {
protected:
    void SetUp() override {
        ViewerFixture::SetUp();
        previousMaker_ = SetTyxControlMaker([this](QWidget* parent, std::string&) -> QWidget* {
            ++made;
            if (other == Other::Nothing) return nullptr;
            if (other == Other::NoOrder) return new NoOrderTyx(parent);
            if (other == Other::ThreeValues) return new ThreeValueTyx(parent);
            tyx = new RecordingTyx(parent);
            tyx->results = results;
            tyx->errorText = errorText;
            tyx->items = items;
            return tyx;
        });
        Opt.URL.ReDim(0, 0);
        Opt.URL(0) = "/data/run 1/grid.nc";
    }
    void TearDown() override {
        ViewerFixture::TearDown();
        SetTyxControlMaker(previousMaker_);
    }

    static void path(std::initializer_list<PathVertex> vertices) {
        View.SectionPathCount = static_cast<Long>(vertices.size());
        if (vertices.size() == 0) return;
        View.SectionPath.ReDim(1, View.SectionPathCount);
        Long i = 1;
        for (const PathVertex& v : vertices)
            View.SectionPath(i++) = v;
    }

    // What the next control made starts with.
    std::map<std::string, QVariant> results;
    QString errorText;
    std::vector<QString> items;
    enum class Other { None, Nothing, NoOrder, ThreeValues };
    Other other = Other::None; // a control of another make, or none at all

    RecordingTyx* tyx = nullptr; // the last control made
    int made = 0;

private:
    TyxControlMaker previousMaker_;
};

} // namespace

TEST_F(ShowTyxSectionTest, TheControlGetsTheDatasetThePathInDegreesAndTheDefaultKey) {
    struct Case {
        Long projection;
        PathVertex stored[3];
        float lon[3], lat[3];
    };
    const float r = 0.5f;
    const Case cases[] = {
        {0, {{102, -9}, {117.5f, -3.25f}, {132, 4}}, {102, 117.5f, 132}, {-9, -3.25f, 4}},
        // Radians back to degrees by the program's own factor, not the exact one.
        {1,
         {{r, -r}, {2 * r, 0}, {0, r}},
         {static_cast<float>(r / kDegToRad), static_cast<float>(2 * r / kDegToRad), 0},
         {static_cast<float>(-r / kDegToRad), 0, static_cast<float>(r / kDegToRad)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.projection);
        View.Projection = c.projection;
        path({c.stored[0], c.stored[1], c.stored[2]});
        if (OCXHostLoaded()) UnloadOCXHost();
        ShowTyxSection();
        ASSERT_NE(tyx, nullptr);
        EXPECT_EQ(tyx->names(), fullRun(3));
        const std::vector<TyxCall>& calls = tyx->calls;
        EXPECT_EQ(calls[0].args, QVariantList{QString("/data/run 1/grid.nc")});
        for (int i = 0; i < 3; ++i) {
            const QVariantList& a = calls[static_cast<std::size_t>(2 + i)].args;
            EXPECT_EQ(a.at(0).toFloat(), c.lon[i]) << i;
            EXPECT_EQ(a.at(1).toFloat(), c.lat[i]) << i;
        }
        EXPECT_EQ(calls[6].args, QVariantList{1});
        EXPECT_EQ(SectionKeyFile(), PathJoin(ProgramFolder(), "TEMPeRaTURE.KEW"));
        EXPECT_EQ(calls[7].args, QVariantList{QString::fromStdString(SectionKeyFile())});
        for (std::size_t d = 0; d < 11; ++d) {
            const QVariantList& a = calls[9 + d].args;
            const SectionKeyDivision& k = DefaultSectionColorKey[d];
            EXPECT_EQ(a, (QVariantList{k.low, k.high, static_cast<int>(k.colour)})) << d;
            EXPECT_EQ(k.low, 3.0f * static_cast<float>(d));
            EXPECT_EQ(k.high, k.low + 3);
        }
        EXPECT_EQ(calls[20].args, QVariantList{true});
        EXPECT_EQ(calls[21].args, QVariantList{true});
        // The host window is shown with the section, the control filling it.
        EXPECT_TRUE(OCXHostForm().isVisible());
        EXPECT_EQ(tyx->geometry(), OCXHostForm().rect());
        EXPECT_TRUE(ui.boxes.empty());
    }
    // The key's colours run from dark blue to dark red (blue in the high byte).
    EXPECT_EQ(DefaultSectionColorKey.front().colour, 0xBD0000);
    EXPECT_EQ(DefaultSectionColorKey[5].colour, 0xFFFAFA);
    EXPECT_EQ(DefaultSectionColorKey.back().colour, 0xAE);
}

TEST_F(ShowTyxSectionTest, AFailedStatusShowsTheControlsTextAndStops) {
    struct Case {
        const char* member;
        QVariant result;
        QString text;
        std::size_t callsMade; // of the full run
        Strings shown;
    };
    const std::size_t all = fullRun(2).size();
    const Case cases[] = {
        {"NcFile", QVariant(short{-1}), "[NcFile] no such file", 1, {"[NcFile] no such file"}},
        {"EndSection", QVariant(short{-1}),
         "[MakeTyxSection] Section distance is too short, or input error", 5,
         {"[MakeTyxSection] Section distance is too short, or input error"}},
        // Any number below 0 fails; the text can be empty.
        {"SetVarByOrder", QVariant(-0.5), "", 6, {""}},
        // A key file that fails quietly is passed over; a text left from before is shown, and
        // the run goes on either way.
        {"KewFile", QVariant(short{-1}), "", all, {}},
        {"KewFile", QVariant(short{-1}), "[Draw] earlier", all, {"[Draw] earlier"}},
        // The drawing's own failure is told too, rather than a blank window.
        {"Draw", QVariant(short{-1}), "[Draw] No section", all, {"[Draw] No section"}},
        // Successes of any kind go on.
        {"EndSection", QVariant(0), "ignored", all, {}},
        {"Draw", QVariant(), "ignored", all, {}},
    };
    path({{102, -9}, {132, 4}});
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.member) + " " + c.result.toString().toStdString());
        if (OCXHostLoaded()) UnloadOCXHost();
        results = {{c.member, c.result}};
        errorText = c.text;
        ui.boxes.clear();
        ShowTyxSection();
        ASSERT_NE(tyx, nullptr);
        EXPECT_EQ(tyx->names(), firstOf(fullRun(2), c.callsMade));
        EXPECT_EQ(messages(), c.shown);
        for (const auto& b : ui.boxes) {
            EXPECT_EQ(b.style, kOkOnly);
            EXPECT_EQ(b.title, kProgramTitle);
        }
    }
}

TEST_F(ShowTyxSectionTest, ErrorsOfTheCallsAreShownAndTheProgramGoesOn) {
    path({{102, -9}, {132, 4}});
    struct Case {
        const char* what;
        std::function<void()> arrange;
        Strings shown;
    };
    const Case cases[] = {
        {"a member missing", [&] { other = Other::NoOrder; },
         {"Run-time error '438':\r\n\r\nObject doesn't support this property or method"}},
        {"a member with another count of arguments", [&] { other = Other::ThreeValues; },
         {"Run-time error '450':\r\n\r\nWrong number of arguments or invalid property "
          "assignment"}},
        {"a result that is no number",
         [&] { results = {{"EndSection", QVariant(QString("done"))}}; },
         {"Run-time error '13':\r\n\r\nType mismatch"}},
        {"no control", [&] { other = Other::Nothing; },
         {"Unable to load the section control libTyxSection.so\r\n",
          "Run-time error '91':\r\n\r\nObject variable or With block variable not set"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (OCXHostLoaded()) UnloadOCXHost();
        other = Other::None;
        results.clear();
        c.arrange();
        ui.boxes.clear();
        ui.SetMousePointer(kPointerHourglass);
        ShowTyxSection();
        EXPECT_EQ(messages(), c.shown);
        EXPECT_EQ(ui.MousePointer(), kPointerDefault);
    }
}

TEST_F(ShowTyxSectionTest, WithoutAVertexNothingHappens) {
    path({});
    ShowTyxSection();
    EXPECT_FALSE(OCXHostLoaded());
    EXPECT_EQ(made, 0);
    EXPECT_TRUE(ui.boxes.empty());
}

// The host window: made hidden on its first reference, the control always filling it; a window
// the user closed is made again and shown with the next section; a close while the control is
// at work only hides it.
TEST_F(ShowTyxSectionTest, TheHostWindow) {
    OCXHost& host = OCXHostForm();
    EXPECT_FALSE(host.isVisible());
    EXPECT_EQ(host.windowTitle(), "OCXHost");
    ASSERT_NE(tyx, nullptr);
    EXPECT_EQ(tyx->parentWidget(), &host);
    EXPECT_EQ(tyx->geometry(), host.rect());
    for (const QSize size : {QSize(500, 350), QSize(0, 0), QSize(300, 0), QSize(0, 200)}) {
        host.resize(size);
        OCXHost_Form_Resize();
        EXPECT_EQ(tyx->geometry(), QRect(QPoint(0, 0), size)) << size.width() << size.height();
    }
    host.show();
    host.resize(420, 260);
    QCoreApplication::processEvents();
    EXPECT_EQ(tyx->geometry(), QRect(0, 0, 420, 260));
    EXPECT_EQ(made, 1);

    // Closed by the user: gone, and the next section makes and shows a new one.
    host.close();
    QCoreApplication::processEvents();
    EXPECT_FALSE(OCXHostLoaded());
    path({{102, -9}, {132, 4}});
    ShowTyxSection();
    EXPECT_EQ(made, 2);
    ASSERT_TRUE(OCXHostLoaded());
    EXPECT_TRUE(OCXHostForm().isVisible());
    EXPECT_EQ(tyx->names(), fullRun(2));

    // While the control draws the viewer is busy (another section is not started), and a close
    // leaves the control alive, out of sight.
    bool busyInDraw = false;
    tyx->onCall = [&](const std::string& name) {
        if (name != "Draw") return;
        busyInDraw = IsBusy();
        ShowTyxSection();
        OCXHostForm().close();
    };
    ShowTyxSection();
    QCoreApplication::processEvents();
    EXPECT_TRUE(busyInDraw);
    EXPECT_FALSE(IsBusy());
    ASSERT_TRUE(OCXHostLoaded());
    EXPECT_FALSE(OCXHostForm().isVisible());
    EXPECT_EQ(made, 2);
    EXPECT_EQ(tyx->names().size(), 2 * fullRun(2).size());
    tyx->onCall = {};
    ShowTyxSection();
    EXPECT_TRUE(OCXHostForm().isVisible());
    EXPECT_TRUE(ui.boxes.empty());

    UnloadOCXHost();
    EXPECT_FALSE(OCXHostLoaded());
    UnloadOCXHost(); // not loaded: nothing
}


// Until a section is drawn the host says how to draw one; once drawn, its caption names the
// item and the step shown, and which variable the first item stands in for. The window opens
// beside the map window, inside the screen.
TEST_F(ShowTyxSectionTest, TheHostSaysHowToDrawAndThenWhatItShows) {
    items = {"temp", "salt"};
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const QRect room = screen->availableGeometry();
    struct Case {
        const char* what;
        QRect map;
    };
    const Case cases[] = {
        {"room on the right", QRect(room.left(), room.top(), 100, 80)},
        {"no room on the right", QRect(room.right() - 100, room.top() + 10, 100, 80)},
        {"the map as wide as the screen", QRect(room.left(), room.top(), room.width(), 80)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (OCXHostLoaded()) UnloadOCXHost();
        ShowOCXHostBeside(c.map);
        OCXHost& host = OCXHostForm();
        ASSERT_TRUE(host.isVisible());
        const QRect frame = host.frameGeometry();
        EXPECT_GE(frame.left(), room.left());
        EXPECT_GE(frame.top(), room.top());
        if (frame.width() <= room.width()) {
            EXPECT_LE(frame.right(), room.right());
        }
        // Beside the map where the screen has room for it, not over it.
        if (c.map.right() + frame.width() <= room.right()) {
            EXPECT_EQ(frame.left(), c.map.right() + 1);
        } else if (c.map.left() - frame.width() >= room.left()) {
            EXPECT_EQ(frame.right(), c.map.left() - 1);
        }
        ASSERT_NE(host.hint(), nullptr);
        EXPECT_TRUE(host.hint()->isVisible());
        EXPECT_EQ(host.hint()->text().toStdString(), kSectionHint);
    }

    // The main window's controls on the map's right: the host opens on its left instead, and
    // where neither side has room it keeps clear of them all the same.
    {
        const int hostWidth = OCXHostForm().frameGeometry().width();
        const QRect map(room.left() + hostWidth + 10, room.top(), 100, 80);
        ASSERT_LT(map.right(), room.right()) << "no room for the controls on the map's right";
        const QRect controls(map.right() + 1, room.top(), room.right() - map.right(), 120);
        const KeepClearProvider before = SetKeepClearArea([controls] { return controls; });
        UnloadOCXHost();
        ShowOCXHostBeside(map);
        QRect frame = OCXHostForm().frameGeometry();
        EXPECT_EQ(frame.right(), map.left() - 1);
        EXPECT_FALSE(frame.intersects(controls));
        EXPECT_TRUE(room.contains(frame));

        const QRect wide(room.left(), room.top(), room.width(), 120);
        SetKeepClearArea([wide] { return wide; });
        UnloadOCXHost();
        ShowOCXHostBeside(map);
        frame = OCXHostForm().frameGeometry();
        EXPECT_FALSE(frame.intersects(wide));
        EXPECT_TRUE(room.contains(frame));
        SetKeepClearArea(before);
    }

    // The map at its third step: the control reads and draws that one in place of Draw.
    Data.CurTimeStep = 3;
    path({{102, -9}, {132, 4}});
    ShowTyxSection();
    ASSERT_NE(tyx, nullptr);
    Strings run = fullRun(2);
    run.back() = "SetCurrentTime";
    EXPECT_EQ(tyx->names(), run);
    EXPECT_EQ(tyx->calls.back().args, QVariantList{3});
    EXPECT_EQ(OCXHostForm().windowTitle().toStdString(), "OCXHost: temp, time step 3");
    EXPECT_FALSE(OCXHostForm().hint()->isVisible());
    EXPECT_TRUE(ui.boxes.empty());

    // A drawing that fails, at the first step or another, says why and leaves the how-to line
    // and the caption as they were.
    for (Long step : {1, 2}) {
        SCOPED_TRACE(step);
        UnloadOCXHost();
        ui.boxes.clear();
        Data.CurTimeStep = step;
        results = {{"Draw", QVariant(short{-1})}};
        errorText = "[Draw] earlier";
        OCXHostForm(); // the control made
        ASSERT_NE(tyx, nullptr);
        // SetCurrentTime has no status: the control's new text tells.
        tyx->onCall = [this](const std::string& name) {
            if (name == "SetCurrentTime") tyx->errorText = "[SetCurrentTime] read failed";
        };
        ShowTyxSection();
        EXPECT_EQ(messages(),
                  Strings{step == 1 ? "[Draw] earlier" : "[SetCurrentTime] read failed"});
        EXPECT_TRUE(OCXHostForm().hint()->isVisible());
        EXPECT_EQ(OCXHostForm().windowTitle(), "OCXHost");
    }
}
