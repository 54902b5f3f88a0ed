#pragma once
// The stop request of a running time loop (Anim.CancelFlag) and the mark that one runs
// (Anim.Running), written only through these: the windows ask for the stop, the time loop
// clears it as it starts and once it has stopped, and holds the mark while it runs.
#include "viewer/map/SharedState.h"

// Esc released in any of the viewer's windows, or the map window closing under a command.
inline void RequestAnimationStop() {
    Anim.CancelFlag = -1;
}
// The map picture's key-up: the key released is kept in the flag, Esc (27) as the stop request.
inline void NoteAnimationKey(Long keyCode) {
    Anim.CancelFlag = keyCode == 27 ? -1 : keyCode;
}
inline bool AnimationStopRequested() {
    return Anim.CancelFlag == -1;
}
inline void ClearAnimationStop() {
    Anim.CancelFlag = 0;
}

// Held by a time loop for its whole run: the windows' events that it lets in between its steps
// may then act on the map picture (a resize redraws the frame under it) rather than wait.
class AnimationRun {
public:
    AnimationRun() { Anim.Running = true; }
    ~AnimationRun() { Anim.Running = false; }
    AnimationRun(const AnimationRun&) = delete;
    AnimationRun& operator=(const AnimationRun&) = delete;
};
inline bool AnimationRunning() {
    return Anim.Running;
}
