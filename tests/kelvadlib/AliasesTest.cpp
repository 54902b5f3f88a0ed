// The alias lists at creation, the alias file NcAlias.txt and merging into the lists.
#include "kelvadlib/Kelvad.h"
#include "kelvadlib/NCUtils.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

void writeAliasFile(const std::filesystem::path& folder, const std::string& body) {
    std::ofstream(folder / "NcAlias.txt") << "[other]\nlon = not_this\n[variable alias]\n" << body;
}

// Runs the test body in another current folder and comes back.
class InFolder {
public:
    explicit InFolder(const std::filesystem::path& p) : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(p);
    }
    ~InFolder() { std::filesystem::current_path(old_); }

private:
    std::filesystem::path old_;
};

} // namespace

TEST(AliasLists, HoldTheirContentsAtCreation) {
    TempDir cwd; // no alias file anywhere
    InFolder in(cwd.path());
    Kelvad k;
    EXPECT_EQ(k.lonaKa, "lon longitude");
    EXPECT_EQ(k.lataKa, "lat latitude");
    EXPECT_EQ(k.timeaKa, "time TIME1 timestep TIME_SERIES RECORD COADSTAX TAU T");
    EXPECT_EQ(k.levelaKa, "z sigma level layer depth zpos zc zgrid ALTITUDE LEVELS ZT_OCEAN ht");
    EXPECT_EQ(k.cellaKa, "ncell ncells cell cells station");
    EXPECT_EQ(k.nodeaKa, "node nodes nnode nnodes");
    EXPECT_EQ(k.elementaKa, "nele element elements nelement nelements");
    EXPECT_EQ(k.faceaKa, "nface nfaces nodes_per_element nvert three nvertex max_nvertices "
                         "nmaxmesh2_face_nodes");
    EXPECT_EQ(k.ixaKa, "xpos gridx_218 gridi");
    EXPECT_EQ(k.jyaKa, "ypos gridy_218 gridj");
    EXPECT_EQ(k.waterUaKa, "water_u u uwater U_SURFACE VOZOCRTX UBAR_RG U_CURRENT uvel uave "
                           "Depth_averaged_U_velocity U_velocity");
    EXPECT_EQ(k.waterVaKa, "water_v v vwater V_SURFACE VOMECRTY VBAR_RG V_CURRENT vvel vave "
                           "Depth_averaged_V_velocity V_velocity");
    EXPECT_EQ(k.windUaKa, "wind_u air_u u UGRD10M_10 WND_UCMP_SURFACE UWND UWIND "
                          "WND_UCMP_SGMA_LVL U_MEAN  EASTWARD_WIND_AT_10M x_wind x-wind");
    EXPECT_EQ(k.windVaKa, "wind_v air_V v VGRD10M_10 WND_VCMP_SURFACE VWND VWIND "
                          "WND_VCMP_SGMA_LVL V_MEAN NORTHWARD_WIND_AT_10M y_wind y-wind");
    EXPECT_EQ(k.tempaKa, "water_temp temperature ATSSTA temp");
    EXPECT_EQ(k.nNcMax, 0);
    EXPECT_EQ(k.CloseAfterRead, 0);
    EXPECT_EQ(k.ErrorMessage, "");
    EXPECT_FALSE(k.ncf.IsAllocated());
}

TEST(AliasFile, LibraryFolderFileIsMergedKeyByKey) {
    TempDir lib, cwd;
    InFolder in(cwd.path());
    writeAliasFile(lib.path(), "lon = x_lon\n"
                               "time = ocean_time; Times,TIME\n"
                               "level =    \n"
                               "face = nv\n"
                               "water_temp = Temp sst\n");
    Kelvad k;
    k.SetAliasDefaults();
    k.LoadNCAliasFrom(lib.path().string());
    EXPECT_EQ(k.lonaKa, "lon longitude X_LON");
    EXPECT_EQ(k.lataKa, "lat latitude");
    EXPECT_EQ(k.timeaKa, "time TIME1 timestep TIME_SERIES RECORD COADSTAX TAU T OCEAN_TIME TIMES");
    EXPECT_EQ(k.levelaKa, "z sigma level layer depth zpos zc zgrid ALTITUDE LEVELS ZT_OCEAN ht");
    EXPECT_EQ(k.faceaKa, "nface nfaces nodes_per_element nvert three nvertex max_nvertices "
                         "nmaxmesh2_face_nodes NV");
    EXPECT_EQ(k.tempaKa, "water_temp temperature ATSSTA temp SST");
}

TEST(AliasFile, CurrentFolderServesOnlyWhenTheLibraryFolderHasNone) {
    TempDir lib, cwd;
    InFolder in(cwd.path());
    writeAliasFile(cwd.path(), "lat = y_lat\n");
    {
        Kelvad k;
        k.SetAliasDefaults();
        k.LoadNCAliasFrom(lib.path().string());
        EXPECT_EQ(k.lataKa, "lat latitude Y_LAT");
    }
    writeAliasFile(lib.path(), "lon = x_lon\n");
    Kelvad k;
    k.SetAliasDefaults();
    k.LoadNCAliasFrom(lib.path().string());
    EXPECT_EQ(k.lonaKa, "lon longitude X_LON");
    EXPECT_EQ(k.lataKa, "lat latitude");
}

TEST(AliasFile, CreationReadsTheFileOfTheCurrentFolder) {
    // The library's own folder holds no alias file in the build tree.
    TempDir cwd;
    InFolder in(cwd.path());
    writeAliasFile(cwd.path(), "node = mesh_node\n");
    Kelvad k;
    EXPECT_EQ(k.nodeaKa, "node nodes nnode nnodes MESH_NODE");
}

TEST(AliasLists, SettingMergesAndNeverReplaces) {
    TempDir cwd;
    InFolder in(cwd.path());
    Kelvad k;
    AddToAliasList(k.lonaKa, "LONGITUDE");
    AddToAliasList(k.lonaKa, "");
    EXPECT_EQ(k.lonaKa, "lon longitude");
    AddToAliasList(k.timeaKa, "ocean_time");
    AddToAliasList(k.timeaKa, "ocean_time");
    EXPECT_EQ(k.timeaKa, "time TIME1 timestep TIME_SERIES RECORD COADSTAX TAU T OCEAN_TIME");
    AddToAliasList(k.lataKa, "y_lat,nav_lat");
    EXPECT_EQ(k.lataKa, "lat latitude Y_LAT NAV_LAT");
    EXPECT_EQ(k.AliasListByKey("lat"), &k.lataKa);
    EXPECT_EQ(k.AliasListByKey("face"), &k.faceaKa);
    EXPECT_EQ(k.AliasListByKey("faces"), nullptr);
}
