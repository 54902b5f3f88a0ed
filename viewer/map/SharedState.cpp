#include "viewer/map/SharedState.h"

#include "common/Strings.h"
#include "kelvadlib/IKelvad.h"
#include "platform/Component.h"

SettingsState Opt;
CoastState Coast;
DatasetState Data;
ReadWindowState Win;
ViewState View;
ColorScaleState Scale;
AnimationState Anim;

void ResetSharedState() {
    Opt.Reset();
    Coast.Reset();
    Data.Reset();
    Win.Reset();
    View.Reset();
    Scale.Reset();
    Anim.Reset();
}

bool IsOpenDataset(const std::string& path) {
    if (Data.clsNC == nullptr) return false;
    for (const Long slot : {Data.nNcMain, Data.nNcSecond}) {
        if (slot < 1) continue;
        if (SameFile(Data.clsNC->FName(slot), path)) return true;
    }
    return false;
}

std::string FileBesideSettings(const std::string& name) {
    if (Opt.IniFile.empty()) return PathJoin(ProgramFolder(), name);
    return PathJoin(PathFolder(Opt.IniFile), name);
}
