#include "viewer/map/ProgressBar.h"

#include "gui/Picture.h"
#include "runtime/Color.h"

void DrawProgressBar(Picture& pic, Long done, Long total) {
    const int keptMode = pic.DrawMode();
    pic.setDrawMode(kDrawCopyPen);
    const float sw = pic.ScaleWidth();
    const float sh = pic.ScaleHeight();
    if (total > 0) {
        const float part = static_cast<float>(done) / static_cast<float>(total);
        pic.Line(0, sh, sw * part, sh - 1, QBColor(12), LineFlag::BF);
    } else {
        pic.Line(0, sh, sw, sh - 1, QBColor(15), LineFlag::BF);
    }
    pic.setDrawMode(keptMode);
}
