#include "viewer/map/SharedState.h"

#include "common/Strings.h"
#include "kelvadlib/IKelvad.h"
#include "platform/Component.h"

#include <vector>

SettingsState Opt;
CoastState Coast;
DatasetState Data;
ReadWindowState Win;
ViewState View;
ColorScaleState Scale;
AnimationState Anim;

namespace {

// Built on first use: the modules register while the program's globals are being made.
std::vector<SharedStateReset>& registeredResets() {
    static std::vector<SharedStateReset> resets;
    return resets;
}

} // namespace

bool RegisterSharedStateReset(SharedStateReset reset) {
    if (reset) registeredResets().push_back(reset);
    return true;
}

void ResetSharedState() {
    Opt.Reset();
    Coast.Reset();
    Data.Reset();
    Win.Reset();
    View.Reset();
    Scale.Reset();
    Anim.Reset();
    ResetPutMessages();
    for (const SharedStateReset reset : registeredResets())
        reset();
}

bool IsOpenDataset(const std::string& path) {
    if (Data.clsNC == nullptr) return false;
    for (const Long slot : {Data.nNcMain, Data.nNcSecond}) {
        if (slot < 1) continue;
        if (SameFile(Data.clsNC->FName(slot), path)) return true;
    }
    return false;
}

Long MeshTriangleCount() {
    const VArray<Long>* lists[] = {&Data.node1, &Data.node2, &Data.node3};
    for (const VArray<Long>* list : lists)
        if (!list->IsAllocated() || list->LBound() != 1 || list->UBound() != Data.node1.UBound())
            return 0;
    return Data.node1.UBound();
}

std::string FileBesideSettings(const std::string& name) {
    if (Opt.IniFile.empty()) return PathJoin(ProgramFolder(), name);
    return PathJoin(PathFolder(Opt.IniFile), name);
}
