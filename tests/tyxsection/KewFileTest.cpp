// KEW files: the key file's path, what is written and read back, and what a failure leaves.
#include "tyxsection/KewFile.h"
#include "TyxFixture.h"
#include "platform/Component.h"
#include "tests/support/ScriptedUi.h"
#include "tests/support/Watchdog.h"
#include "tyxsection/ColorKey.h"
#include "tyxsection/ocxStrings.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> filesIn(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A control state with a dataset and its items named, as NcFile leaves it.
class KewFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        m.main.NcFileName = dir.file("ocean.model.nc");
        m.main.items.NumDrawAbleItems = 2;
        m.main.items.DrawAbleItem.ReDim(1, 2);
        m.main.items.DrawAbleItem(1).name = "temp";
        m.main.items.DrawAbleItem(2).name = "salt";
        m.main.Item_shown = 1;
    }

    void key(const std::vector<std::vector<float>>& divisions) {
        NewColorKey(m);
        for (const auto& d : divisions)
            AddColorKey(m, d[0], d[1], static_cast<Long>(d[2]));
    }

    std::string kew() const { return dir.file("ocean.model.KEW"); }

    TempDir dir;
    InstalledScriptedUi ui;
    TyxModel m;
};

const std::string kDeclaration = "<?xml version=\"1.0\"?>";

} // namespace

TEST(KewPath, TheExtensionOfTheLastComponentOnly) {
    struct Case {
        const char* path;
        const char* changed;
    };
    const Case cases[] = {
        {"C:\\data\\old.set\\model.nc", "C:\\data\\old.set\\model.KEW"},
        {"C:\\data.set\\model", "C:\\data.set\\model.KEW"},
        {"/srv/run.2/out.tar.nc", "/srv/run.2/out.tar.KEW"},
        {"/srv/run.2/out", "/srv/run.2/out.KEW"},
        {"  model.nc  ", "model.KEW"},
        {"model", "model.KEW"},
    };
    for (const Case& c : cases) {
        std::string path = c.path;
        ChangeExt(path, " KEW ");
        EXPECT_EQ(path, c.changed) << c.path;
    }
    EXPECT_EQ(StripExt("/srv/run.2/out"), "/srv/run.2/out");
    EXPECT_EQ(StripExt("C:\\a.b\\c.nc "), "C:\\a.b\\c");
}

TEST(KewPath, ADatasetByUrlKeepsItsKeysBesideTheSettings) {
    EXPECT_EQ(KewPathOf("/data/grid.nc", "/cfg/Pelorin.ini"), "/data/grid.KEW");
    EXPECT_EQ(KewPathOf("http://127.0.0.1:8080/dods/grid.nc", "/cfg/Pelorin.ini"),
              "/cfg/127_0_0_1_8080_dods_grid.KEW");
    EXPECT_EQ(KewPathOf("[mode=dap2]https://host.org/thredds/ocean?temp[0:1]", "/cfg/p.ini"),
              "/cfg/host_org_thredds_ocean.KEW");
    // Without a settings file, beside the program.
    EXPECT_EQ(KewPathOf("http://host/a/b.nc", ""), ProgramFolder() + "/host_a_b.KEW");
}

TEST_F(KewFileTest, SaveWritesTheKeyAndReplacesOnlyItsOwnVariable) {
    key({{0, 1.5f, 0xBD0000}, {1.5f, 1e20f, 255}, {-0.25f, 0, 0}});
    SaveKEW(m);
    const std::string temp1 = "<variable name=\"temp\"><division><low>0</low><high>1.5</high>"
                              "<color>12386304</color></division><division><low>1.5</low>"
                              "<high>1E+20</high><color>255</color></division><division>"
                              "<low>-0.25</low><high>0</high><color>0</color></division>"
                              "</variable>";
    EXPECT_EQ(fileText(kew()), kDeclaration + "<section>" + temp1 + "</section>");

    // Another variable is added after it.
    m.main.Item_shown = 2;
    key({{30, 40, 65280}});
    SaveKEW(m);
    const std::string salt = "<variable name=\"salt\"><division><low>30</low><high>40</high>"
                             "<color>65280</color></division></variable>";
    EXPECT_EQ(fileText(kew()), kDeclaration + "<section>" + temp1 + salt + "</section>");

    // A new key of the first one replaces it, at the end.
    m.main.Item_shown = 1;
    key({{2, 3, 16777215}});
    SaveKEW(m);
    const std::string temp2 = "<variable name=\"temp\"><division><low>2</low><high>3</high>"
                              "<color>16777215</color></division></variable>";
    EXPECT_EQ(fileText(kew()), kDeclaration + "<section>" + salt + temp2 + "</section>");
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(filesIn(dir), std::vector<std::string>{"ocean.model.KEW"});

    // Read back.
    ColorKeyRec read;
    ASSERT_TRUE(ReadKewKey(kew(), "salt", read));
    ASSERT_EQ(read.count, 1);
    EXPECT_EQ(read.low(1), 30);
    EXPECT_EQ(read.high(1), 40);
    EXPECT_EQ(read.color(1), 65280);
    EXPECT_EQ(KewVariableNames(kew()), (std::vector<std::string>{"salt", "temp"}));
}

TEST_F(KewFileTest, ReadsBackWhatWasWritten) {
    key({{-1.5f, 2.25f, 0x123456}, {2.25f, 3.4e38f, 7}, {1e-7f, 0.1f, 16777215}});
    const ColorKeyRec written = m.colour.ColorKey;
    SaveKEW(m);
    NewColorKey(m);
    EXPECT_EQ(KewFile(m, kew()), 1);
    const ColorKeyRec& read = m.colour.ColorKey;
    ASSERT_EQ(read.count, 3);
    for (Long i = 1; i <= 3; ++i) {
        EXPECT_EQ(read.low(i), written.low(i)) << i;
        EXPECT_EQ(read.high(i), written.high(i)) << i;
        EXPECT_EQ(read.color(i), written.color(i)) << i;
    }
}

TEST_F(KewFileTest, NamesAreComparedNeverMadeIntoAQuery) {
    const std::string quoted = "t\"]|//variable[@name=\"salt";
    writeText(kew(), kDeclaration + "<section>"
                                    "<variable name=\"salt\"><division><low>9</low><high>10</high>"
                                    "<color>1</color></division></variable>"
                                    "<variable name=\"t&quot;]|//variable[@name=&quot;salt\">"
                                    "<division><low>1</low><high>2</high><color>3</color>"
                                    "</division></variable></section>");
    ColorKeyRec read;
    ASSERT_TRUE(ReadKewKey(kew(), quoted, read));
    ASSERT_EQ(read.count, 1);
    EXPECT_EQ(read.low(1), 1);
    EXPECT_FALSE(ReadKewKey(kew(), "SALT", read)); // letter case counts
    EXPECT_FALSE(ReadKewKey(kew(), "t", read));

    // Written back with the quotes escaped, and found again.
    m.main.items.DrawAbleItem(1).name = quoted;
    key({{5, 6, 7}});
    SaveKEW(m);
    const std::string text = fileText(kew());
    EXPECT_NE(text.find("<variable name=\"t&quot;]|//variable[@name=&quot;salt\"><division>"
                        "<low>5</low>"),
              std::string::npos)
        << text;
    EXPECT_EQ(KewVariableNames(kew()), (std::vector<std::string>{"salt", quoted}));
    ASSERT_TRUE(ReadKewKey(kew(), "salt", read));
    EXPECT_EQ(read.low(1), 9);
}

TEST_F(KewFileTest, WhatAReadFindsOrFails) {
    struct Case {
        const char* what;
        std::string content; // none: no file
        Long result;
        std::string box; // "" for none
    };
    const std::string boxCaption = "\r\nModColor GetKewCol0";
    const std::vector<Case> cases = {
        {"no file", "", -1, ""},
        {"no such variable", "<section><variable name=\"salt\"/></section>", -1, ""},
        {"a variable without divisions", "<section><variable name=\"temp\"/></section>", 0, ""},
        {"a division without its colour",
         "<section><variable name=\"temp\"><division><low>1</low><high>2</high></division>"
         "</variable></section>",
         -1, "Error 91: Object variable or With block variable not set" + boxCaption},
        {"no XML", "low=1 high=2", -1,
         "Error 5: Not a KEW file: No document element found at byte 12" + boxCaption},
        {"a colour beyond a Long",
         "<section><variable name=\"temp\"><division><low>1</low><high>2</high>"
         "<color>1e12</color></division></variable></section>",
         -1, "Error 6: Overflow" + boxCaption},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(kew());
        if (!c.content.empty()) writeText(kew(), c.content);
        key({{0, 1, 5}});
        ui.boxes.clear();
        m.ErrorMessage.clear();
        EXPECT_EQ(KewFile(m, kew()), c.result == -1 ? -1 : 1);
        EXPECT_EQ(m.colour.ColorKey.count, c.result);
        EXPECT_EQ(m.ErrorMessage, "");
        if (c.box.empty()) {
            EXPECT_TRUE(ui.boxes.empty());
        } else {
            ASSERT_EQ(ui.boxes.size(), 1u);
            EXPECT_EQ(ui.boxes[0].text, c.box);
            EXPECT_EQ(ui.boxes[0].title, "Error creating section view");
            EXPECT_EQ(ui.boxes[0].style, kExclamation);
        }
    }
    // A key that a failed read left grows again from none.
    AddColorKey(m, 1, 2, 3);
    EXPECT_EQ(m.colour.ColorKey.count, 1);
}

TEST_F(KewFileTest, AFailedWriteLeavesTheFileAsItWas) {
    key({{0, 1, 5}});
    // An existing file that is no KEW document is not replaced.
    writeText(kew(), "<notakey/>");
    SaveKEW(m);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              "Error 91: Object variable or With block variable not set\r\nModColor SaveKEW0");
    EXPECT_EQ(fileText(kew()), "<notakey/>");

    // A folder that is not there.
    m.main.NcFileName = dir.file("gone/grid.nc");
    SaveKEW(m);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[1].text, "Error 76: Path not found\r\nModColor SaveKEW0");

    // A dataset whose own name is its key file's is never written over.
    const std::string dataset = writeGridFile(dir, "odd.KEW");
    const std::string before = fileText(dataset);
    m.main.NcFileName = dataset;
    SaveKEW(m);
    ASSERT_EQ(ui.boxes.size(), 3u);
    EXPECT_EQ(ui.boxes[2].text, "Error 70: Permission denied\r\nModColor SaveKEW0");
    EXPECT_EQ(fileText(dataset), before);
    EXPECT_EQ(filesIn(dir), (std::vector<std::string>{"ocean.model.KEW", "odd.KEW"}));
}

// A FIFO or a device named as the key file (or standing in its place) is refused at once with
// its reason, and never written over.
TEST_F(KewFileTest, AFifoOrADeviceIsRefusedAtOnce) {
    const std::string fifo = dir.file("fifo.KEW");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string stream = ": not a file but a FIFO, socket or device\r\nModColor ";
    for (const std::string& path : {fifo, std::string(kEndlessDevice)}) {
        SCOPED_TRACE(path);
        ui.boxes.clear();
        key({{0, 1, 5}});
        EXPECT_EQ(
            ReturnsWithin(std::chrono::seconds(1), "KewFile", [&] { return KewFile(m, path); }),
            -1);
        EXPECT_EQ(m.colour.ColorKey.count, -1);
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text, "Error 75: " + path + stream + "GetKewCol0");
        EXPECT_TRUE(ReturnsWithin(std::chrono::seconds(1), "KewVariableNames", [&] {
                        return KewVariableNames(path);
                    }).empty());
    }
    // The dataset's own key file is a FIFO: the save is refused and the FIFO stays.
    std::filesystem::rename(fifo, kew());
    ui.boxes.clear();
    key({{0, 1, 5}});
    ReturnsWithin(std::chrono::seconds(1), "SaveKEW", [&] { SaveKEW(m); });
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Error 75: " + kew() + stream + "SaveKEW0");
    EXPECT_TRUE(std::filesystem::is_fifo(kew()));
    EXPECT_EQ(filesIn(dir), (std::vector<std::string>{"ocean.model.KEW"}));
}

// The key the viewer bundles beside the program: the default temperature key, eleven divisions
// of 3 from 0 to 33, under each name a temperature goes by.
TEST(BundledKew, TheTemperatureKeyLoadsUnderEachOfItsNames) {
    const std::string path = std::string(PELORIN_BIN_DIR) + "/TEMPeRaTURE.KEW";
    const std::vector<std::string> names = {"temp", "temperature", "water_temp", "ATSSTA"};
    EXPECT_EQ(KewVariableNames(path), names);
    const Long colours[11] = {0xBD0000, 0xF00000, 0xFF6464, 0xFF9696, 0xFFC8C8, 0xFFFAFA,
                              0xCBCBFF, 0x9797FF, 0x6363FF, 0xC8,     0xAE};
    for (const std::string& name : names) {
        ColorKeyRec key;
        ASSERT_TRUE(ReadKewKey(path, name, key)) << name;
        ASSERT_EQ(key.count, 11) << name;
        for (Long i = 1; i <= 11; ++i) {
            EXPECT_EQ(key.low(i), 3.0f * static_cast<float>(i - 1)) << name << " " << i;
            EXPECT_EQ(key.high(i), 3.0f * static_cast<float>(i)) << name << " " << i;
            EXPECT_EQ(key.color(i), colours[i - 1]) << name << " " << i;
        }
    }
    ColorKeyRec none;
    EXPECT_FALSE(ReadKewKey(path, "salt", none));
}
