#pragma once
// The settings file in use and the options of the menus (Opt), written only through these: the
// start-up reads them from the settings file, the menus and boxes change them. The remembered
// list (Opt.URL, nURL, URLFilter) is the remembered list's own (see URLList.h).
#include "viewer/map/SharedState.h"

#include <string>

inline void SetSettingsFile(const std::string& path) {
    Opt.IniFile = path;
}
// Whether note 1, 2 or 3 is shown again (1) or no more (0).
inline void SetNoteShown(Long note, Long shown) {
    if (note == 1)
        Opt.ShowNote1 = shown;
    else if (note == 2)
        Opt.ShowNote2 = shown;
    else if (note == 3)
        Opt.ShowNote3 = shown;
}
inline void SetGridShown(Long shown) {
    Opt.OptShowGrid = shown;
}
inline void SetMeshShown(Long shown) {
    Opt.OptShowMesh = shown;
}
// 0 or 1 line arrows, 2 filled polygon arrows, above 90 glyph arrows.
inline void SetArrowStyle(Long style) {
    Opt.OptArrowStyle = style;
}
// The length scale of the vector arrows.
inline void SetVectorScale(float scale) {
    Opt.vscale = scale;
}
inline void SetSaveFormat(Long format) {
    Opt.SaveFormat = format;
}
// The answer of the three-button box (6, 7 or 2), 0 while it is open.
inline void SetShortMsgAnswer(Long answer) {
    Opt.ShortMsgAnswer = answer;
}
