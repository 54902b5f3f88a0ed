// The time loop of the time-stepped maps: where it starts, and its steps until the last one,
// a failed step or Esc.
#include "viewer/map/RenderStages.h"

#include "common/MinMax.h"
#include "common/Ui.h"
#include "gui/Picture.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"
#include "viewer/map/AnimationStop.h"
#include "viewer/map/DrawCost.h"
#include "viewer/map/ProgressBar.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/SharedState.h"

Long StartStep(const std::string& boxText, Long nSteps) {
    double v = 0;
    try {
        v = Val(boxText);
    } catch (const RuntimeError&) {
        v = 0; // a number beyond any step restarts like an empty box
    }
    Long step = (v > -2147483648.0 && v < 2147483647.0) ? CLng(v) : 1;
    if (step >= nSteps) step = 1;
    return MaxL(1, step);
}

Long TimeLoop(RenderContext& rc, const StepBody& body, const TimeLoopOptions& options) {
    // An Esc released while nothing ran must not stop this loop.
    ClearAnimationStop();
    const AnimationRun running;
    if (options.clearBarFirst) DrawProgressBar(rc.pic, 0, 0);
    Long step = StartStep(orderBoxes().StepText(), Data.clsNC->nTime(rc.dateSlot));
    const Long by = MaxL(1, options.timeStride);
    while (int64_t{step} + by <= Data.clsNC->nTime(rc.dateSlot)) {
        if (options.clearEachStep) rc.pic.Cls();
        step += by;
        if (options.timeBar) TimeBar(rc, step);
        orderBoxes().SetStepText(Str(step));
        if (options.dateLabel) DateLabel(rc, step);
        if (options.pinStep) PinStep(rc, step);
        if (!body(rc, step)) return -1;
        if (options.coastline && Coast.CoastFlag == 1) DrawCoast(rc.pic);
        ui().DoEvents();
        // The window was resized in between: the next steps take the picture's new size.
        if (CLng(rc.pic.ScaleWidth()) != rc.width || CLng(rc.pic.ScaleHeight()) != rc.height)
            ScaleCheck(rc);
        if (AnimationStopRequested()) {
            ClearAnimationStop();
            SetMapCaption("Drawing Coastline: Canceled");
            break;
        }
    }
    return step;
}
