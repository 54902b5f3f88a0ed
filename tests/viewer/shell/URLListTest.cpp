// The remembered list on a temporary settings file: adding, removing, compacting, the filters
// of the list box, and the limit of 200 keys.
#include "ShellFixture.h"

#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "viewer/shell/URLList.h"

#include <QComboBox>
#include <fstream>

namespace {

class URLListTest : public ShellFixture {
protected:
    // A settings file with the given keys of "URL List", the main window loaded on it.
    void useKeys(const std::vector<std::pair<Long, std::string>>& keys) {
        std::string text = "[URL List]\n";
        for (const auto& [n, v] : keys)
            text += "URLfile " + CStr(n) + "=" + v + "\n";
        Opt.IniFile = settings(text);
        rebuild();
    }
    // The in-memory list as the start-up builds it.
    void rebuild() {
        Opt.URL.ReDim(0, 0);
        Opt.nURL = 0;
        std::vector<std::string> v;
        for (Long n = 1; n <= 200; ++n) {
            const std::string s = ini("URLfile " + CStr(n), "URL List");
            if (!s.empty()) v.push_back(s);
        }
        Opt.URL.ReDim(0, static_cast<Long>(v.size()));
        Opt.nURL = static_cast<Long>(v.size());
        for (Long i = 1; i <= Opt.nURL; ++i)
            Opt.URL(i) = v[static_cast<std::size_t>(i - 1)];
        mainForm();
        ui.boxes.clear();
    }
    static std::string key(Long n) { return ini("URLfile " + CStr(n), "URL List"); }
};

TEST_F(URLListTest, AnEntryStoredInAnyCaseIsNotAddedAgain) {
    useKeys({{1, "b.nc"}, {7, "c:\\a.nc"}});
    QComboBox* combo = mainForm().Combo1;
    combo->addItem("marker"); // a refill would drop it
    const std::string before = readFile(Opt.IniFile);
    Opt.URL(0) = "C:\\A.NC";
    AddToURLList();
    EXPECT_EQ(readFile(Opt.IniFile), before);
    EXPECT_EQ(comboItems().back(), "marker");
}

TEST_F(URLListTest, AnAddTakesTheFirstFreeKeyAndRebuildsUpToTheNextGap) {
    useKeys({{1, "a.nc"}, {2, "b.nc"}, {4, "d.nc"}});
    Opt.URL(0) = "new.nc";
    AddToURLList();
    EXPECT_EQ(key(3), "new.nc");
    EXPECT_EQ(remembered(), (std::vector<std::string>{"a.nc", "b.nc", "new.nc", "d.nc"}));
    EXPECT_EQ(mainForm().comboText(), "new.nc");

    // Keys 1 and 3 held, 5 behind another gap: the list holds keys 1 to 3 until the next start.
    resetViewer();
    useKeys({{1, "a.nc"}, {3, "c.nc"}, {5, "e.nc"}});
    Opt.URL(0) = "new.nc";
    AddToURLList();
    EXPECT_EQ(key(2), "new.nc");
    EXPECT_EQ(remembered(), (std::vector<std::string>{"a.nc", "new.nc", "c.nc"}));
    EXPECT_EQ(Opt.nURL, 3);
    EXPECT_EQ(Opt.URL.UBound(), 3);
    EXPECT_EQ(comboItems(), remembered());
}

// A full list (keys 1 to 200) never grows past key 200. Without repeats the oldest entry gives
// way and the new one comes last; with a repeat (key 150 repeats key 3 in another case) the list
// is closed up first and nothing older has to go.
TEST_F(URLListTest, AFullListNeverGrowsPastKey200) {
    struct Case {
        const char* what;
        Long repeat; // the key made a repeat of key 3, 0 for none
        std::vector<std::pair<Long, std::string>> expected;
    };
    const Case cases[] = {
        {"no repeats", 0, {{1, "/d/f2.nc"}}},
        {"a repeat", 150, {{1, "/d/f1.nc"}, {3, "/d/f3.nc"}, {150, "/d/f151.nc"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        resetViewer();
        std::vector<std::pair<Long, std::string>> keys;
        for (Long n = 1; n <= 200; ++n)
            keys.push_back({n, "/d/f" + CStr(n) + ".nc"});
        if (c.repeat != 0) keys[static_cast<std::size_t>(c.repeat - 1)].second = "/D/F3.NC";
        useKeys(keys);
        Opt.URL(0) = "/d/new.nc";
        AddToURLList();
        for (const auto& [n, entry] : c.expected)
            EXPECT_EQ(key(n), entry) << n;
        EXPECT_EQ(key(199), "/d/f200.nc");
        EXPECT_EQ(key(200), "/d/new.nc");
        EXPECT_EQ(key(201), "");
        EXPECT_EQ(Opt.nURL, 200);
        EXPECT_EQ(Opt.URL(200), "/d/new.nc");
        EXPECT_EQ(mainForm().comboText(), "/d/new.nc");
    }
}

// The oldest entry is the one added first, not the one in key 1: the shut-down's compaction
// sorts the keys, and each entry takes the order of its add with it.
TEST_F(URLListTest, AFullListDropsTheEntryAddedLongestAgo) {
    useKeys({});
    for (const char* e : {"/d/c.nc", "/d/b.nc", "/d/a.nc"}) {
        Opt.URL(0) = e;
        AddToURLList();
    }
    CompactURLList();
    EXPECT_EQ(key(1), "/d/a.nc");
    EXPECT_EQ(key(3), "/d/c.nc");
    EXPECT_EQ(ini("URLadded 1", "URL List"), "3");
    EXPECT_EQ(ini("URLadded 3", "URL List"), "1");

    // Filled up to key 200 with later entries.
    {
        std::ofstream more(Opt.IniFile, std::ios::app);
        for (Long n = 4; n <= 200; ++n)
            more << "URLfile " << n << "=/d/f" << n << ".nc\nURLadded " << n << "=" << n + 10
                 << "\n";
    }
    Opt.URL(0) = "/x/new.nc";
    AddToURLList();
    EXPECT_EQ(key(1), "/d/a.nc");
    EXPECT_EQ(key(2), "/d/b.nc");
    EXPECT_EQ(key(3), "/d/f4.nc"); // c.nc went, the later keys moved down
    EXPECT_EQ(key(199), "/d/f200.nc");
    EXPECT_EQ(key(200), "/x/new.nc");
    EXPECT_EQ(key(201), "");
    EXPECT_EQ(ini("URLadded 3", "URL List"), "14");
    EXPECT_EQ(ini("URLadded 200", "URL List"), "211");
    EXPECT_EQ(Opt.nURL, 200);

    // The next one to go is b.nc; a removed entry takes its order with it.
    Opt.URL(0) = "/d/f4.nc";
    RemoveFromURLList();
    EXPECT_EQ(ini("URLadded 3", "URL List"), "");
    Opt.URL(0) = "/x/again.nc";
    AddToURLList(); // into the key just freed
    EXPECT_EQ(key(3), "/x/again.nc");
    Opt.URL(0) = "/x/last.nc";
    AddToURLList();
    EXPECT_EQ(key(1), "/d/a.nc");
    EXPECT_EQ(key(2), "/x/again.nc");
    EXPECT_EQ(key(200), "/x/last.nc");
}

TEST_F(URLListTest, RemoveClearsTheFirstMatchOnly) {
    useKeys({{1, "x.nc"}, {2, "A.nc"}, {3, "y.nc"}, {5, "a.nc"}});
    Opt.URL(0) = "a.NC";
    RemoveFromURLList();
    EXPECT_EQ(key(2), "");
    EXPECT_EQ(key(5), "a.nc");
    EXPECT_EQ(remembered(), (std::vector<std::string>{"x.nc", "y.nc", "a.nc"}));
    EXPECT_EQ(comboItems(), remembered());

    // The last entry removed: the notice and the placeholder.
    resetViewer();
    useKeys({{4, "only.nc"}});
    Opt.URL(0) = "only.nc";
    RemoveFromURLList();
    EXPECT_EQ(key(4), "");
    EXPECT_EQ(Opt.nURL, 0);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "No initial file or target address exist");
    EXPECT_EQ(Opt.URL(0), "?");
}

TEST_F(URLListTest, CompactSortsAndDropsRepeatsInTheFirstHundredKeys) {
    useKeys({{2, "b.nc"}, {3, "A.nc"}, {5, "a.nc"}, {9, "c.nc"}, {150, "z.nc"}});
    CompactURLList();
    EXPECT_EQ(UCase(key(1)), "A.NC");
    EXPECT_EQ(key(2), "b.nc");
    EXPECT_EQ(key(3), "c.nc");
    for (Long n = 4; n <= 9; ++n)
        EXPECT_EQ(key(n), "") << n;
    EXPECT_EQ(key(150), "z.nc"); // beyond the compaction's reach

    // Nothing in keys 1 to 100: nothing is written.
    resetViewer();
    useKeys({{120, "late.nc"}});
    const std::string before = readFile(Opt.IniFile);
    CompactURLList();
    EXPECT_EQ(readFile(Opt.IniFile), before);
}

// "HTTP Only" lists every URL (any scheme, netCDF-C's "[mode=...]" prefix too), "Local Only"
// every file, whatever its name looks like.
TEST_F(URLListTest, FiltersOfTheListBox) {
    useKeys({{1, "/data/a.nc"},
             {2, "http://host/b"},
             {3, "https://host/c"},
             {4, "HTTP://H/d"},
             {5, "dods://host/e"},
             {6, "[mode=dap2]http://host/f"},
             {7, "http_data.nc"},
             {8, "C:\\data\\g.nc"}});
    const std::vector<std::string> urls{"http://host/b", "https://host/c", "HTTP://H/d",
                                        "dods://host/e", "[mode=dap2]http://host/f"};
    Opt.URLFilter = 1;
    FillURLCombo();
    EXPECT_EQ(comboItems(), urls);
    EXPECT_EQ(mainForm().comboText(), "http://host/b");
    Opt.URLFilter = 2;
    FillURLCombo();
    EXPECT_EQ(comboItems(),
              (std::vector<std::string>{"/data/a.nc", "http_data.nc", "C:\\data\\g.nc"}));
    Opt.URLFilter = 0;
    FillURLCombo();
    EXPECT_EQ(comboItems().size(), 8u);
    EXPECT_TRUE(ui.boxes.empty());

    // A filter that hides every entry: the notice and the placeholder, the entries kept.
    resetViewer();
    useKeys({{1, "/data/a.nc"}});
    Opt.URLFilter = 1;
    FillURLCombo();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "");
    EXPECT_EQ(comboItems(), std::vector<std::string>{"?"});
    EXPECT_EQ(Opt.URL(0), "?");
    EXPECT_EQ(Opt.nURL, 1);
    Opt.URLFilter = 0;
    FillURLCombo();
    EXPECT_EQ(comboItems(), std::vector<std::string>{"/data/a.nc"});
}

TEST_F(URLListTest, AnAddHiddenByTheFilterLeavesTheFirstItemSelected) {
    useKeys({{1, "http://host/a"}});
    Opt.URLFilter = 1;
    FillURLCombo();
    Opt.URL(0) = "/local/new.nc";
    AddToURLList();
    EXPECT_EQ(key(2), "/local/new.nc");
    EXPECT_EQ(comboItems(), std::vector<std::string>{"http://host/a"});
    EXPECT_EQ(mainForm().Combo1->currentIndex(), 0);
}

} // namespace
