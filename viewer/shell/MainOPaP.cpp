#include "viewer/shell/MainOPaP.h"

#include "common/MinMax.h"
#include "common/Strings.h"
#include "common/Ui.h"
#include "gui/PictureWidget.h"
#include "kelvadlib/IKelvad.h"
#include "platform/Component.h"
#include "viewer/map/BusyGuard.h"
#include "viewer/map/DataChoices.h"
#include "viewer/map/DrawCost.h"
#include "viewer/map/FvBounds.h"
#include "viewer/map/FvPositions.h"
#include "viewer/map/GridKinds.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/gencord.h"
#include "viewer/section/OCXHost.h"
#include "viewer/shell/DataPoints.h"
#include "viewer/shell/FormFaces.h"
#include "viewer/shell/OrderFrm.h"
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

void ShowError() {
    ui().MsgBox(Data.clsNC != nullptr ? Data.clsNC->ErrorMessage() : std::string(), kOkOnly,
                kProgramTitle);
}

// Closes the slots of the object in hand.
void CloseSlots() {
    if (Data.clsNC == nullptr) return;
    if (Data.nNcMain > 0) Data.clsNC->CloseNC(Data.nNcMain);
    if (Data.nNcSecond > 0) Data.clsNC->CloseNC(Data.nNcSecond);
}

void SetDatasetButtons(bool cdl, bool plot, bool alias) {
    MainFormFace& f = mainFormFace();
    f.Command1->setEnabled(cdl);
    f.Command2[0]->setEnabled(plot);
    f.Command2[1]->setEnabled(plot);
    f.Command4->setEnabled(alias);
}

// Passes the non-empty keys of the table, in its order.
template <std::size_t N>
void PassAliases(const std::pair<const char*, void (IKelvad::*)(const std::string&)> (&table)[N]) {
    if (Data.clsNC == nullptr) return;
    for (const auto& [key, let] : table) {
        const std::string value = GetString(key, kAliasSection, Opt.IniFile);
        if (!value.empty()) (Data.clsNC->*let)(value);
    }
}

// The extent of dataset 1 and the first view: the extent widened by a twentieth of its span on
// every side (latitudes held within +-1.5 radians in Mercator mode).
void SetExtents() {
    const double f = View.Projection == 1 ? kDegToRad : 1.0;
    Data.DataExtent.West = Data.clsNC->westEnd(Data.nNcMain) * f;
    Data.DataExtent.East = Data.clsNC->eastEnd(Data.nNcMain) * f;
    Data.DataExtent.North = Data.clsNC->northEnd(Data.nNcMain) * f;
    Data.DataExtent.South = Data.clsNC->southEnd(Data.nNcMain) * f;
    ViewRec view = Data.DataExtent;

    const double d = Data.DataExtent.North - Data.DataExtent.South;
    if (View.Projection == 1) {
        const double m = d > 0 ? d / 20 : 0.0043633230555555555;
        view.North = MinS(1.5f, static_cast<float>(Data.DataExtent.North + m));
        view.South = MaxS(-1.5f, static_cast<float>(Data.DataExtent.South - m));
    } else {
        const double m = d > 0 ? d / 20 : 0.25;
        view.North = Data.DataExtent.North + m;
        view.South = Data.DataExtent.South - m;
    }
    const double w = Data.DataExtent.East - Data.DataExtent.West;
    view.West = Data.DataExtent.West - w / 20;
    view.East = Data.DataExtent.East + w / 20;

    StartMapView(view, Data.DataExtent);
}

Long FillLonLat(VArray<float>& lon, VArray<float>& lat) {
    return View.Projection == 1 ? Data.clsNC->FillLonLatRad(lon, lat, Data.nNcMain)
                                : Data.clsNC->FillLonLatDeg(lon, lat, Data.nNcMain);
}

// A mesh that could not be filled leaves nothing of the one loaded before: its triangles,
// node positions and boundary lines would be drawn over the new dataset.
void DropMesh(bool nodePositions) {
    Data.node1.Erase();
    Data.node2.Erase();
    Data.node3.Erase();
    if (!nodePositions) return;
    DropFvNodePositions();
    ForgetFvBounds();
}

void FillMeshArrays() {
    const MapMesh mesh = MapKindOf(Data.clsNC->GridType(Data.nNcMain)).mesh;
    if (mesh == MapMesh::FiniteElement) {
        if (Opt.OptShowMesh != 0 &&
            Data.clsNC->FillNodeMesh(Data.node1, Data.node2, Data.node3, Data.nNcMain) < 0) {
            DropMesh(false);
            ShowError();
        }
    } else if (mesh == MapMesh::FiniteVolume) {
        if (Opt.OptShowMesh == 0) {
            SkipFvNodePositions();
            return;
        }
        if (Data.clsNC->FillNodeMesh(Data.node1, Data.node2, Data.node3, Data.nNcMain) < 0) {
            DropMesh(true);
            ShowError();
            return;
        }
        if (FillFvNodePositions(Data.clsNC->nNodes(Data.nNcMain)) < 0) {
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
    MainFormFace& f = mainFormFace();
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

std::string KelvadLibraryPath() {
    return PathJoin(ProgramFolder(), "libKelvadlib.so");
}

bool NewKelvad() {
    ReleaseKelvad();
    std::string error;
    KelvadFactory make = factory;
    if (make == nullptr) {
        void* symbol = FindFactory(KelvadLibraryPath(), "CreateKelvad", error);
        make = reinterpret_cast<KelvadFactory>(symbol);
    }
    IKelvad* object = make != nullptr ? make() : nullptr;
    if (object == nullptr) {
        ui().MsgBox("Unable to load the dataset library libKelvadlib.so\r\n" + error, kOkOnly,
                    kProgramTitle);
        return false;
    }
    owned = object;
    Data.clsNC = object;
    return true;
}

void ReleaseKelvad() {
    delete owned;
    owned = nullptr;
    Data.clsNC = nullptr;
}

bool LoadRunning() {
    return loading;
}

void LoadCoordAliases() {
    static const std::pair<const char*, void (IKelvad::*)(const std::string&)> table[] = {
        {"time", &IKelvad::timeaKa},       {"lon", &IKelvad::lonaKa},   {"lat", &IKelvad::lataKa},
        {"level", &IKelvad::levelaKa},     {"cell", &IKelvad::cellaKa}, {"node", &IKelvad::nodeaKa},
        {"element", &IKelvad::elementaKa}, {"face", &IKelvad::faceaKa}};
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

// The steps of the dataset's time axis, read into timeV; their count.
static Long fillTimeAxis() {
    const Long nTime = Data.clsNC->nTime(Data.nNcMain);
    if (nTime > 0) {
        Data.timeV.ReDim(1, nTime);
        if (Data.clsNC->FillTime(Data.timeV, Data.nNcMain) < 0) ShowError();
    }
    return nTime;
}

// The vertical levels, read into vCoordV when there is more than one; their count.
static Long fillLevels() {
    const Long kMax = Data.clsNC->kMax(Data.nNcMain);
    if (kMax > 1) {
        Data.vCoordV.ReDim(1, kMax);
        if (Data.clsNC->FillvCoord(Data.vCoordV, Data.nNcMain) < 0) ShowError();
    }
    return kMax;
}

// The first step's time, or the first and last, in the time box.
static void showTimeSpan(MainFormFace& f, Long nTime) {
    if (nTime == 1) {
        f.Text2->setText(QString::fromStdString(Data.clsNC->StartTime(Data.nNcMain)));
    } else if (nTime > 1) {
        f.Text2->setText(QString::fromStdString(Data.clsNC->StartTime(Data.nNcMain) + "  to  " +
                                                Data.clsNC->endTime(Data.nNcMain)));
    }
}

void LoadFile(Long UseSecond) {
    // A click handled while a load pumps events must not start a second one on the object
    // being set up.
    if (loading) return;
    CloseSlots();
    if (CurrentEntry().empty()) return;

    LoadScope scope;
    MainFormFace& f = mainFormFace();
    Picture& pic = f.Picture1->picture();
    pic.Cls();
    for (int k = 1; k <= 4; ++k)
        f.Text1[k]->clear();
    f.Text2->clear();
    if (UseSecond == 0) f.Text3->clear();

    if (!NewKelvad()) {
        Data.nNcMain = -1;
        SetDatasetButtons(false, false, false);
        return;
    }
    LoadCoordAliases();
    Data.nNcMain = Data.clsNC->Initialize(CurrentEntry());
    if (Data.nNcMain < 1) {
        FailedLoad();
        return;
    }

    ListDimensions(f.Text1[0], Data.nNcMain);
    ListVariables(f.Text1[1], Data.nNcMain);
    ListFixedVariables(f.Text1[2], Data.nNcMain);
    ListRecordVariables(f.Text1[3], Data.nNcMain);

    // A fresh lonV whose element 1 is not negative asks a finite-volume fill for the
    // elements.
    Data.lonV.ReDim(0, 1);
    if (FillLonLat(Data.lonV, Data.latV) < 0) ShowError();

    FillMeshArrays();

    const Long nTime = fillTimeAxis();
    const Long kMax = fillLevels();

    if (!Data.SecondFile.empty() && UseSecond == 1) {
        Data.nNcSecond = Data.clsNC->Initialize(Data.SecondFile);
        if (Data.nNcSecond > 1)
            ListExtraVariables(f.Text1[4], Data.nNcSecond);
        else
            ShowError();
    }

    SetTimeStep(0);
    SetLevel(kMax > 1 ? 1 : 0);

    SetExtents();
    ShowDataPoints(Data.nNcMain);

    showTimeSpan(f, nTime);

    ClearPicks();
    // The map window and the windows that hang on it hold picks of the dataset replaced.
    if (PicFormLoaded() && PicFormForm().isVisible()) UnloadPicForm();
    // So does the section window: its section is of the dataset replaced.
    if (OCXHostLoaded()) UnloadOCXHost();
    SetDatasetButtons(true, true, true);

    LoadVectorAliases();
    Data.clsNC->pickUVVariables(1);

    if (InitMapScale(pic) == 1 && Coast.CoastFlag == 1) DrawCoast(pic);
}

void ShowTimeRange() {
    if (loading) return;
    {
        LoadScope scope;
        MainFormFace& f = mainFormFace();
        SetCurrentEntry(f.comboText());
        CloseSlots();

        f.Picture1->picture().Cls();
        for (auto* box : f.Text1)
            box->clear();
        f.Text2->clear();

        if (NewKelvad()) {
            LoadCoordAliases();
            std::string s, e;
            if (Data.clsNC->StartEndDate(CurrentEntry(), s, e) >= 0)
                f.Text2->setText(QString::fromStdString(s + "  to  " + e));
        }
        ReleaseKelvad();
        Data.nNcMain = 0;
        SetDatasetButtons(false, false, false);
    }
    // With the dataset gone the map and order windows have nothing left to draw or probe:
    // they close with it (the map window keeps its place and zoom keys as it goes).
    if (PicFormLoaded()) UnloadPicForm();
    if (OrderFrmLoaded()) UnloadOrderFrm();
}
