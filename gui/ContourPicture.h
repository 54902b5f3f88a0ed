#pragma once
// A picture box as the contour tracer's drawing target.
#include "common/Contour.h"
#include "gui/Picture.h"

class ContourPicture : public ContourCanvas {
public:
    explicit ContourPicture(Picture& pic) : pic_(pic) {}

    Long ForeColor() const override { return pic_.ForeColor(); }
    void setForeColor(Long color) override { pic_.setForeColor(color); }
    void Line(float x1, float y1, float x2, float y2) override { pic_.Line(x1, y1, x2, y2); }
    void PrintAt(float x, float y, const std::string& text) override {
        pic_.setCurrentX(x);
        pic_.setCurrentY(y);
        pic_.Print(text);
    }
    void Refresh() override { pic_.Refresh(); }

private:
    Picture& pic_;
};
