#include "viewer/map/SharedState.h"

#include "common/Strings.h"
#include "kelvadlib/IKelvad.h"

std::string IniFile;
IKelvad* clsNC = nullptr;
Long nNcMain = 0;
Long nNcSecond = 0;
VArray<std::string> URL;
Long nURL = 0;
Long URLFilter = 0;
std::string SecondFile;
Long CurTimeStep = 0;
Long CurLevel = 0;
VArray<PickItem> Picks;
Long PickCount = 0;
VArray<float> lonV, latV;
VArray<float> nodeLonV, nodeLatV;
VArray<Long> node1, node2, node3;
VArray<double> timeV;
VArray<double> vCoordV;
ViewRec DataExtent;
ViewRec ViewExtent;
Long MouseState = 0;
Long CancelFlag = 0;
std::string CoastFile;
Long CoastFlag = 0;
Long Projection = 0;
float LonPeriod = 0;
Long OptShowGrid = 0;
Long OptShowMesh = 0;
float vscale = 0;
Long SaveFormat = 0;
Long ShowNote1 = 0, ShowNote2 = 0, ShowNote3 = 0;
Long ShortMsgAnswer = 0;
Long SectionPathCount = 0;
VArray<PathVertex> SectionPath;
Long water_U_vId = 0, water_V_vId = 0, wind_U_vId = 0, wind_V_vId = 0;
VArray<float> uV, vV;
float cellMisnVal = 0;
Long OptArrowStyle = 0;

void ResetSharedState() {
    IniFile.clear();
    clsNC = nullptr;
    nNcMain = nNcSecond = 0;
    URL.Erase();
    nURL = URLFilter = 0;
    SecondFile.clear();
    CurTimeStep = CurLevel = 0;
    Picks.Erase();
    PickCount = 0;
    lonV.Erase();
    latV.Erase();
    nodeLonV.Erase();
    nodeLatV.Erase();
    node1.Erase();
    node2.Erase();
    node3.Erase();
    timeV.Erase();
    vCoordV.Erase();
    DataExtent = ViewRec{};
    ViewExtent = ViewRec{};
    MouseState = CancelFlag = 0;
    CoastFile.clear();
    CoastFlag = 0;
    Projection = 0;
    LonPeriod = 0;
    OptShowGrid = OptShowMesh = 0;
    vscale = 0;
    SaveFormat = 0;
    ShowNote1 = ShowNote2 = ShowNote3 = 0;
    ShortMsgAnswer = 0;
    SectionPathCount = 0;
    SectionPath.Erase();
    water_U_vId = water_V_vId = wind_U_vId = wind_V_vId = 0;
    uV.Erase();
    vV.Erase();
    cellMisnVal = 0;
    OptArrowStyle = 0;
}

bool IsOpenDataset(const std::string& path) {
    if (clsNC == nullptr) return false;
    for (const Long slot : {nNcMain, nNcSecond}) {
        if (slot < 1) continue;
        if (SameFile(clsNC->FName(slot), path)) return true;
    }
    return false;
}
