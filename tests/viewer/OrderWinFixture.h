#pragma once
// What the order window, pick list and dispatcher tests share: a dataset loaded by the loader
// (samples or small fixtures), the order window loaded on it, and every window unloaded again.
#include "tests/viewer/ViewerDatasetFixture.h"

#include "gui/PictureWidget.h"
#include "gui/QtText.h"
#include "viewer/shell/FormColor.h"
#include "viewer/shell/MainForm.h"
#include "viewer/shell/MainOPaP.h"
#include "viewer/shell/OrderFrm.h"
#include "viewer/shell/PicForm.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifndef PELORIN_SAMPLES_DIR
#error "PELORIN_SAMPLES_DIR: the folder of the sample datasets"
#endif

// temp(time, depth, lat, lon) over a 4 x 3 grid with 2 levels and 3 steps, beside variables
// that are not drawable: the coordinates, a value per step, one without dimensions, and one
// whose horizontal dimensions are not the last two. mask(lat, lon) and swapped(time, lon, lat)
// are drawable.
inline std::string RegularFixture(const std::string& path) {
    NcBuilder nc(path);
    nc.dim("time", 3);
    nc.dim("depth", 2);
    nc.dim("lat", 3);
    nc.dim("lon", 4);
    nc.var("time", NC_DOUBLE, {"time"})
        .att("units", "hours since 2001-02-03 00:00:00")
        .values({0.0, 6.0, 12.0});
    nc.var("depth", NC_FLOAT, {"depth"}).att("units", "m").att("positive", "down").values({0, 10});
    nc.var("lat", NC_FLOAT, {"lat"}).att("units", "degrees_north").values({10, 11, 12});
    nc.var("lon", NC_FLOAT, {"lon"}).att("units", "degrees_east").values({120, 121, 122, 123});
    nc.var("temp", NC_FLOAT, {"time", "depth", "lat", "lon"})
        .att("long_name", "sea water temperature")
        .att("units", "degC")
        .values(std::vector<double>(72, 15.0));
    nc.var("mask", NC_SHORT, {"lat", "lon"}).values(std::vector<double>(12, 1.0));
    nc.var("wrong", NC_FLOAT, {"lat", "lon", "time"}).values(std::vector<double>(36, 1.0));
    nc.var("total", NC_FLOAT, {"time"}).values({1.0, 2.0, 3.0});
    nc.var("crs", NC_INT).values({0});
    nc.var("swapped", NC_FLOAT, {"time", "lon", "lat"}).values(std::vector<double>(36, 2.0));
    return nc.write();
}

class OrderWinFixture : public ViewerDatasetFixture {
protected:
    void SetUp() override {
        ViewerDatasetFixture::SetUp();
        mainForm();
    }

    static std::string sample(const std::string& name) {
        return std::string(PELORIN_SAMPLES_DIR) + "/" + name;
    }

    // Loads the entry (and a second file) as the main window does; boxes of the load are
    // dropped. The map picture gets a known size.
    void load(const std::string& entry, const std::string& second = "") {
        Opt.URL(0) = entry;
        Data.SecondFile = second;
        LoadFile(second.empty() ? 0 : 1);
        ASSERT_NE(Data.clsNC, nullptr);
        ASSERT_GE(Data.nNcMain, 1);
        ui.boxes.clear();
        PicForm& map = PicFormForm();
        map.Picture1->resize(400, 300);
        map.Picture1->picture().resize(400, 300);
    }

    static OrderFrm& order() { return OrderFrmForm(); }

    static std::vector<std::string> entries() {
        std::vector<std::string> out;
        for (Long i = 0; i < order().ListCount(); ++i)
            out.push_back(order().ListText(i));
        return out;
    }
    static std::vector<Long> selection() {
        std::vector<Long> out;
        for (Long i = 0; i < order().ListCount(); ++i)
            if (order().Selected(i)) out.push_back(i);
        return out;
    }
    // Selects exactly the given positions.
    static void select(const std::vector<Long>& positions) {
        order().List1->clearSelection();
        for (Long p : positions)
            order().setSelected(p, true);
    }
    static std::string text(const QLineEdit* box) { return programText(box->text()); }
};
