#include "kelvadlib/Kelvad.h"
#include "kelvadlib/NCUtils.h"
#include "kelvadlib/Utils.h"
#include "platform/Component.h"
#include "platform/Kovra.h"

void Kelvad::SetAliasDefaults() {
    cellaKa = "ncell ncells cell cells station";
    nodeaKa = "node nodes nnode nnodes";
    elementaKa = "nele element elements nelement nelements";
    faceaKa = "nface nfaces nodes_per_element nvert three nvertex max_nvertices "
              "nmaxmesh2_face_nodes";
    ixaKa = "xpos gridx_218 gridi";
    jyaKa = "ypos gridy_218 gridj";
    lonaKa = "lon longitude";
    lataKa = "lat latitude";
    levelaKa = "z sigma level layer depth zpos zc zgrid ALTITUDE LEVELS ZT_OCEAN ht";
    timeaKa = "time TIME1 timestep TIME_SERIES RECORD COADSTAX TAU T";
    waterUaKa = "water_u u uwater U_SURFACE VOZOCRTX UBAR_RG U_CURRENT uvel uave "
                "Depth_averaged_U_velocity U_velocity";
    waterVaKa = "water_v v vwater V_SURFACE VOMECRTY VBAR_RG V_CURRENT vvel vave "
                "Depth_averaged_V_velocity V_velocity";
    windUaKa = "wind_u air_u u UGRD10M_10 WND_UCMP_SURFACE UWND UWIND WND_UCMP_SGMA_LVL U_MEAN  "
               "EASTWARD_WIND_AT_10M x_wind x-wind";
    windVaKa = "wind_v air_V v VGRD10M_10 WND_VCMP_SURFACE VWND VWIND WND_VCMP_SGMA_LVL V_MEAN "
               "NORTHWARD_WIND_AT_10M y_wind y-wind";
    tempaKa = "water_temp temperature ATSSTA temp";
}

std::string* Kelvad::AliasListByKey(const std::string& key) {
    if (key == "water_u") return &waterUaKa;
    if (key == "water_v") return &waterVaKa;
    if (key == "wind_u") return &windUaKa;
    if (key == "wind_v") return &windVaKa;
    if (key == "time") return &timeaKa;
    if (key == "lon") return &lonaKa;
    if (key == "lat") return &lataKa;
    if (key == "level") return &levelaKa;
    if (key == "cell") return &cellaKa;
    if (key == "node") return &nodeaKa;
    if (key == "element") return &elementaKa;
    if (key == "face") return &faceaKa;
    if (key == "ix") return &ixaKa;
    if (key == "jy") return &jyaKa;
    if (key == "water_temp") return &tempaKa;
    return nullptr;
}

namespace {
// Any address inside this library tells the loader which file holds it.
void anchor() {}
} // namespace

void Kelvad::LoadNCAlias() {
    LoadNCAliasFrom(ModuleFolder(reinterpret_cast<const void*>(&anchor)));
}

void Kelvad::LoadNCAliasFrom(const std::string& libraryFolder) {
    std::string candidate = PathJoin(libraryFolder, "NcAlias.txt");
    if (libraryFolder.empty() || Exist(candidate) != kTrue) {
        candidate = "NcAlias.txt";
        if (Exist(candidate) != kTrue) return;
    }
    static const char* const kKeys[] = {"water_u", "water_v", "wind_u", "wind_v", "time",
                                        "lon",     "lat",     "level",  "cell",   "node",
                                        "element", "face",    "ix",     "jy",     "water_temp"};
    for (const char* key : kKeys) {
        const std::string value = GetIniString(candidate, "variable alias", key);
        if (!value.empty()) AddToAliasList(*AliasListByKey(key), value);
    }
}
