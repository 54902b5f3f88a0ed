// The variable-alias dialog: the roles' lists on the dataset object and their keys in the
// settings file.
#include "ShellFixture.h"

#include "runtime/Strings.h"
#include "tests/support/NcBuilder.h"
#include "viewer/shell/MainOPaP.h"
#include "viewer/shell/frmAlias.h"

#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>

namespace {

class frmAliasTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        Opt.IniFile = settings();
        const std::string path = dir.file("grid.nc");
        NcBuilder nc(path);
        nc.dim("lon", 3);
        nc.dim("lat", 2);
        nc.var("lon", NC_FLOAT, {"lon"})
            .att("units", "degrees_east")
            .values(std::vector<double>{10, 11, 12});
        nc.var("lat", NC_FLOAT, {"lat"})
            .att("units", "degrees_north")
            .values(std::vector<double>{50, 51});
        nc.var("cur_e", NC_FLOAT, {"lat", "lon"}).values(std::vector<double>(6, 0.5));
        nc.var("sst", NC_FLOAT, {"lat", "lon"}).values(std::vector<double>(6, 12.0));
        nc.write();
        ASSERT_TRUE(NewKelvad());
        ASSERT_EQ(Data.clsNC->Initialize(path), 1) << Data.clsNC->ErrorMessage();
    }

    static std::string alias(const std::string& key) { return ini(key, "variable alias"); }

    static void select(frmAlias& d, const std::string& name) {
        const auto found = d.List1->findItems(qtText(name), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        d.List1->setCurrentItem(found.front());
    }
};

TEST_F(frmAliasTest, TheDialogListsTheVariablesOfTheLoadedDataset) {
    frmAlias d;
    EXPECT_EQ(programText(d.windowTitle()), "Variable Alias Builder");
    ASSERT_EQ(d.List1->count(), 4);
    EXPECT_EQ(programText(d.List1->item(0)->text()), "lon");
    EXPECT_EQ(programText(d.List1->item(3)->text()), "sst");
    EXPECT_EQ(d.AliasViewMode, 0);
    const char* captions[10] = {"Water_U", "Water_V",  "Wind_U", "Wind_V",      "Lon",
                                "Lat",     "Z coord.", "Time",   "Temperature", "Nodes/Element"};
    for (std::size_t i = 0; i < 10; ++i)
        EXPECT_EQ(programText(d.Command1[i]->text()), captions[i]);
}

TEST_F(frmAliasTest, EachRoleAddsToItsListAndWritesItsKey) {
    struct Role {
        Integer index;
        std::string key;
        std::string (IKelvad::*get)();
    };
    const std::vector<Role> roles = {
        {0, "water_u", &IKelvad::waterUaKa},   {1, "water_v", &IKelvad::waterVaKa},
        {2, "wind_u", &IKelvad::windUaKa},     {3, "wind_v", &IKelvad::windVaKa},
        {4, "lon", &IKelvad::lonaKa},          {5, "lat", &IKelvad::lataKa},
        {6, "level", &IKelvad::levelaKa},      {7, "time", &IKelvad::timeaKa},
        {8, "temperature", &IKelvad::tempaKa},
    };
    frmAlias d;
    select(d, "cur_e");
    for (const Role& r : roles) {
        SCOPED_TRACE(r.key);
        EXPECT_EQ(AliasKeyOfRole(r.index), r.key);
        ui.boxes.clear();
        d.Command1_Click(r.index);
        const std::string list = (Data.clsNC->*r.get)();
        EXPECT_NE(UCase(list).find("CUR_E"), std::string::npos) << list;
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text, list);
        EXPECT_EQ(ui.boxes[0].title, "");
        EXPECT_EQ(alias(r.key), Trim(list));
    }

    // A name the list holds already: the list stays, and is shown and written again.
    const std::string before = Data.clsNC->tempaKa();
    d.Command1_Click(8);
    EXPECT_EQ(Data.clsNC->tempaKa(), before);
    EXPECT_EQ(ui.boxes.back().text, before);
}

// The nodes-per-element list names dimensions: a picked corner table gives its shorter
// dimension, a variable of one dimension its own name. The next dataset object gets the key.
TEST_F(frmAliasTest, TheNodesPerElementRoleTakesTheCornersOfAPickedTable) {
    frmAlias d;
    EXPECT_EQ(AliasKeyOfRole(9), "face");
    select(d, "cur_e"); // (lat = 2, lon = 3)
    d.Command1_Click(9);
    const std::string list = Data.clsNC->faceaKa();
    EXPECT_EQ(list.substr(list.rfind(' ') + 1), "LAT");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, list);
    EXPECT_EQ(alias("face"), Trim(list));
    select(d, "lon");
    d.Command1_Click(9);
    const std::string both = Data.clsNC->faceaKa();
    EXPECT_EQ(both, list + " LON");
    d.Command2_Click();
    d.Command1_Click(9);
    EXPECT_EQ(d.List1->count(), CountTokens(both));

    ASSERT_TRUE(NewKelvad());
    LoadCoordAliases();
    EXPECT_EQ(Data.clsNC->faceaKa(), both);
}

TEST_F(frmAliasTest, NothingSelectedDoesNothing) {
    frmAlias d;
    d.List1->clearSelection();
    d.List1->setCurrentItem(nullptr);
    const std::string before = readFile(Opt.IniFile);
    d.Command1_Click(8);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(readFile(Opt.IniFile), before);
}

TEST_F(frmAliasTest, ViewModeListsTheWordsOfARoleAndRewritesItsKey) {
    Data.clsNC->lonaKa("xlon grid_x");
    frmAlias d;
    d.Command2_Click();
    EXPECT_EQ(d.AliasViewMode, 1);
    EXPECT_EQ(programText(d.Frame1->title()), "Show");
    EXPECT_EQ(programText(d.Command2->text()), "Add Variable Alias");
    EXPECT_EQ(programText(d.Frame2->title()), "Loaded alias");
    EXPECT_EQ(d.List1->count(), 0);

    d.Command1_Click(4);
    const std::string list = Data.clsNC->lonaKa();
    ASSERT_EQ(d.List1->count(), CountTokens(list));
    EXPECT_EQ(programText(d.List1->item(d.List1->count() - 1)->text()), "GRID_X");
    EXPECT_EQ(alias("lon"), Trim(list));
    EXPECT_TRUE(ui.boxes.empty());

    d.Command2_Click();
    EXPECT_EQ(d.AliasViewMode, 0);
    EXPECT_EQ(programText(d.Frame1->title()), "Add as");
    EXPECT_EQ(programText(d.Command2->text()), "View Existing Alias");
    EXPECT_EQ(programText(d.Frame2->title()), "Variables in the loaded file");
    EXPECT_EQ(d.List1->count(), 4);
}

TEST_F(frmAliasTest, WithoutADatasetObjectAClickReportsAndTheProgramGoesOn) {
    frmAlias d;
    select(d, "sst");
    ReleaseKelvad();
    // Through the button's signal, as the user would.
    d.Command1[8]->click();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              "Run-time error '91':\r\n\r\nObject variable or With block variable not set");
    EXPECT_EQ(alias("temperature"), "");
}

TEST_F(frmAliasTest, TheAliasToolOpensTheDialogModally) {
    settings("[URL List]\nURLfile 1=x.nc\n");
    int shown = 0;
    setModalRunner([&](QDialog& dialog) {
        auto* d = dynamic_cast<frmAlias*>(&dialog);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->List1->count(), 4);
        ++shown;
        dialog.reject();
    });
    mainForm().Command4_Click();
    EXPECT_EQ(shown, 1);
}

} // namespace
