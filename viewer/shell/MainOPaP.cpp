#include "viewer/shell/MainOPaP.h"

#include "common/MinMax.h"
#include "common/Strings.h"
#include "common/Ui.h"
#include "gui/PictureWidget.h"
#include "kelvadlib/IKelvad.h"
#include "platform/Component.h"
#include "viewer/map/BusyGuard.h"
#include "viewer/map/DrawCost.h"
#include "viewer/map/FvBounds.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/gencord.h"
#include "viewer/shell/DataPoints.h"
#include "viewer/shell/MainForm.h"
#include "viewer/shell/PicForm.h"
#include "viewer/shell/Summaries.h"
#include "viewer/shell/URLList.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>

namespace {

constexpr const char* kAliasSection = "variable alias";

KelvadFactory factory = nullptr;
IKelvad* owned = nullptr; // the object clsNC was last given; released here only
bool loading = false;

// What a load or time-range query holds while it runs: the busy guard, the mark against a
// second one, and the hourglass, which goes back to the normal pointer on every way out.
class LoadScope {
public:
    LoadScope() {
        loading = true;
        ui().SetMousePointer(kPointerHourglass);
    }
    ~LoadScope() {
        loading = false;
        ui().SetMousePointer(kPointerDefault);
    }
    LoadScope(const LoadScope&) = delete;
    LoadScope& operator=(const LoadScope&) = delete;

private:
    BusyGuard busy_;
};

std::string& CurrentEntry() {
    if (!URL.IsAllocated() || URL.LBound() > 0 || URL.UBound() < 0) URL.ReDim(0, MaxL(nURL, 0));
    return URL(0);
}

void ShowError() {
    ui().MsgBox(clsNC != nullptr ? clsNC->ErrorMessage() : std::string(), kOkOnly, kProgramTitle);
}

// Closes the slots of the object in hand.
void CloseSlots() {
    if (clsNC == nullptr) return;
    if (nNcMain > 0) clsNC->CloseNC(nNcMain);
    if (nNcSecond > 0) clsNC->CloseNC(nNcSecond);
}

void SetDatasetButtons(bool cdl, bool plot, bool alias) {
    MainForm& f = mainForm();
    f.Command1->setEnabled(cdl);
    f.Command2[0]->setEnabled(plot);
    f.Command2[1]->setEnabled(plot);
    f.Command4->setEnabled(alias);
}

// Passes the non-empty keys of the table, in its order.
template <std::size_t N>
void PassAliases(const std::pair<const char*, void (IKelvad::*)(const std::string&)> (&table)[N]) {
    if (clsNC == nullptr) return;
    for (const auto& [key, let] : table) {
        const std::string value = GetString(key, kAliasSection, IniFile);
        if (!value.empty()) (clsNC->*let)(value);
    }
}

// The extent of dataset 1 and the first view: the extent widened by a twentieth of its span on
// every side (latitudes held within +-1.5 radians in Mercator mode).
void SetExtents() {
    const double f = Projection == 1 ? kDegToRad : 1.0;
    DataExtent.West = clsNC->westEnd(nNcMain) * f;
    DataExtent.East = clsNC->eastEnd(nNcMain) * f;
    DataExtent.North = clsNC->northEnd(nNcMain) * f;
    DataExtent.South = clsNC->southEnd(nNcMain) * f;
    ViewExtent = DataExtent;

    const double d = DataExtent.North - DataExtent.South;
    if (Projection == 1) {
        const double m = d > 0 ? d / 20 : 0.0043633230555555555;
        ViewExtent.North = MinS(1.5f, static_cast<float>(DataExtent.North + m));
        ViewExtent.South = MaxS(-1.5f, static_cast<float>(DataExtent.South - m));
    } else {
        const double m = d > 0 ? d / 20 : 0.25;
        ViewExtent.North = DataExtent.North + m;
        ViewExtent.South = DataExtent.South - m;
    }
    const double w = DataExtent.East - DataExtent.West;
    ViewExtent.West = DataExtent.West - w / 20;
    ViewExtent.East = DataExtent.East + w / 20;

    ZoomIndex = 0;
    ZoomStack.ReDim(0, 0);
    ZoomStack(0) = DataExtent;
}

Long FillLonLat(VArray<float>& lon, VArray<float>& lat) {
    return Projection == 1 ? clsNC->FillLonLatRad(lon, lat, nNcMain)
                           : clsNC->FillLonLatDeg(lon, lat, nNcMain);
}

// A mesh that could not be filled leaves nothing of the one loaded before: its triangles,
// node positions and boundary lines would be drawn over the new dataset.
void DropMesh(bool nodePositions) {
    node1.Erase();
    node2.Erase();
    node3.Erase();
    if (!nodePositions) return;
    nodeLonV.Erase();
    nodeLatV.Erase();
    fvlands.Erase();
    nfvlands = 0;
    fvseas.Erase();
    nfvseas = 0;
}

void FillMeshArrays() {
    const Long type = clsNC->GridType(nNcMain);
    if (type == kGridFeMesh) {
        if (OptShowMesh != 0 && clsNC->FillNodeMesh(node1, node2, node3, nNcMain) < 0) {
            DropMesh(false);
            ShowError();
        }
    } else if (type == kGridFvMesh) {
        if (OptShowMesh == 0) {
            nodeLonV.ReDim(0, 1);
            return;
        }
        if (clsNC->FillNodeMesh(node1, node2, node3, nNcMain) < 0) {
            DropMesh(true);
            ShowError();
            return;
        }
        const Long n = MaxL(clsNC->nNodes(nNcMain), 1);
        nodeLonV.ReDim(1, n);
        nodeLatV.ReDim(1, n);
        nodeLonV(1) = -1; // asks the fill for the nodes, not the elements
        if (FillLonLat(nodeLonV, nodeLatV) < 0) {
            DropMesh(true);
            ShowError();
            return;
        }
        MakeFvBounds();
    }
}

void FailedLoad() {
    ShowError();
    const int answer =
        ui().MsgBox("Do you want to take this file off the list?\r\n\r\nfile   : " + CurrentEntry(),
                    kYesNo, kProgramTitle);
    if (answer == kYes) RemoveFromURLList();
    MainForm& f = mainForm();
    f.Command1->setEnabled(true);
    f.Command2[0]->setEnabled(false);
    f.Command2[1]->setEnabled(false);
}

} // namespace

KelvadFactory SetKelvadFactory(KelvadFactory f) {
    const KelvadFactory old = factory;
    factory = f;
    return old;
}

bool NewKelvad() {
    ReleaseKelvad();
    std::string error;
    KelvadFactory make = factory;
    if (make == nullptr) {
        void* symbol =
            FindFactory(PathJoin(ProgramFolder(), "libKelvadlib.so"), "CreateKelvad", error);
        make = reinterpret_cast<KelvadFactory>(symbol);
    }
    IKelvad* object = make != nullptr ? make() : nullptr;
    if (object == nullptr) {
        ui().MsgBox("Unable to load the dataset library libKelvadlib.so\r\n" + error, kOkOnly,
                    kProgramTitle);
        return false;
    }
    owned = object;
    clsNC = object;
    return true;
}

void ReleaseKelvad() {
    delete owned;
    owned = nullptr;
    clsNC = nullptr;
}

bool LoadRunning() {
    return loading;
}

void LoadCoordAliases() {
    static const std::pair<const char*, void (IKelvad::*)(const std::string&)> table[] = {
        {"time", &IKelvad::timeaKa},      {"lon", &IKelvad::lonaKa},   {"lat", &IKelvad::lataKa},
        {"level", &IKelvad::levelaKa},    {"cell", &IKelvad::cellaKa}, {"node", &IKelvad::nodeaKa},
        {"element", &IKelvad::elementaKa}};
    PassAliases(table);
}

void LoadVectorAliases() {
    // The temperature list that the alias dialog writes comes back with the vector lists,
    // before the components are chosen again.
    static const std::pair<const char*, void (IKelvad::*)(const std::string&)> table[] = {
        {"water_u", &IKelvad::waterUaKa},
        {"water_v", &IKelvad::waterVaKa},
        {"wind_u", &IKelvad::windUaKa},
        {"wind_v", &IKelvad::windVaKa},
        {"temperature", &IKelvad::tempaKa}};
    PassAliases(table);
}

void LoadFile(Long UseSecond) {
    // A click handled while a load pumps events must not start a second one on the object
    // being set up.
    if (loading) return;
    CloseSlots();
    if (CurrentEntry().empty()) return;

    LoadScope scope;
    MainForm& f = mainForm();
    Picture& pic = f.Picture1->picture();
    pic.Cls();
    for (int k = 1; k <= 4; ++k)
        f.Text1[k]->clear();
    f.Text2->clear();
    if (UseSecond == 0) f.Text3->clear();

    if (!NewKelvad()) {
        nNcMain = -1;
        SetDatasetButtons(false, false, false);
        return;
    }
    LoadCoordAliases();
    nNcMain = clsNC->Initialize(CurrentEntry());
    if (nNcMain < 1) {
        FailedLoad();
        return;
    }

    ListDimensions(f.Text1[0], nNcMain);
    ListVariables(f.Text1[1], nNcMain);
    ListFixedVariables(f.Text1[2], nNcMain);
    ListRecordVariables(f.Text1[3], nNcMain);

    // A fresh lonV whose element 1 is not negative asks a finite-volume fill for the
    // elements.
    lonV.ReDim(0, 1);
    if (FillLonLat(lonV, latV) < 0) ShowError();

    FillMeshArrays();

    const Long nTime = clsNC->nTime(nNcMain);
    if (nTime > 0) {
        timeV.ReDim(1, nTime);
        if (clsNC->FillTime(timeV, nNcMain) < 0) ShowError();
    }
    const Long kMax = clsNC->kMax(nNcMain);
    if (kMax > 1) {
        vCoordV.ReDim(1, kMax);
        if (clsNC->FillvCoord(vCoordV, nNcMain) < 0) ShowError();
    }

    if (!SecondFile.empty() && UseSecond == 1) {
        nNcSecond = clsNC->Initialize(SecondFile);
        if (nNcSecond > 1)
            ListExtraVariables(f.Text1[4], nNcSecond);
        else
            ShowError();
    }

    CurTimeStep = 0;
    CurLevel = kMax > 1 ? 1 : 0;

    SetExtents();
    ShowDataPoints(nNcMain);

    if (nTime == 1) {
        f.Text2->setText(QString::fromStdString(clsNC->StartTime(nNcMain)));
    } else if (nTime > 1) {
        f.Text2->setText(
            QString::fromStdString(clsNC->StartTime(nNcMain) + "  to  " + clsNC->endTime(nNcMain)));
    }

    PickCount = 0;
    // The map window and the windows that hang on it hold picks of the dataset replaced.
    if (PicFormLoaded() && PicFormForm().isVisible()) UnloadPicForm();
    SetDatasetButtons(true, true, true);

    LoadVectorAliases();
    clsNC->pickUVVariables(1);

    if (InitMapScale(pic) == 1 && CoastFlag == 1) DrawCoast(pic);
}

void ShowTimeRange() {
    if (loading) return;
    LoadScope scope;
    MainForm& f = mainForm();
    CurrentEntry() = f.comboText();
    CloseSlots();

    f.Picture1->picture().Cls();
    for (auto* box : f.Text1)
        box->clear();
    f.Text2->clear();

    if (NewKelvad()) {
        LoadCoordAliases();
        std::string s, e;
        if (clsNC->StartEndDate(CurrentEntry(), s, e) >= 0)
            f.Text2->setText(QString::fromStdString(s + "  to  " + e));
    }
    ReleaseKelvad();
    nNcMain = 0;
    SetDatasetButtons(false, false, false);
}
