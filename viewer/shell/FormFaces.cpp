#include "viewer/shell/FormFaces.h"

#include "runtime/RuntimeError.h"

#include <QComboBox>
#include <QListWidget>
#include <cstdio>
#include <cstdlib>

namespace {

// The forms as they registered: the one loaded, and how it is made (and unloaded).
struct Registered {
    MainFormFace* mainForm = nullptr;
    MainFormFace& (*mainMaker)() = nullptr;
    OrderFrmFace* orderFrm = nullptr;
    OrderFrmFace& (*orderMaker)() = nullptr;
    void (*orderUnloader)() = nullptr;
    Picture& (*mapMaker)() = nullptr;
};

Registered& registered() {
    static Registered r;
    return r;
}

// A program that reaches a form it does not link: nothing can stand in for it.
[[noreturn]] void formMissing(const char* name) {
    std::fprintf(stderr, "The %s is not part of this program\n", name);
    std::abort();
}

} // namespace

// ---- The main window ----------------------------------------------------------------------------

std::string MainFormFace::comboText() const {
    const QString shown = Combo1->currentText();
    if (comboHeld_.holds(shown)) return comboHeld_.of(shown);
    const int i = Combo1->currentIndex();
    if (i >= 0 && Combo1->itemText(i) == shown) return itemBytes(*Combo1, i);
    return programText(shown);
}

void MainFormFace::setComboText(const std::string& text) {
    Combo1->setEditText(comboHeld_.hold(text));
}

void MainFormFace::openDataset(const std::string& path) {
    openAsTyped_(path);
}

MainFormFace& mainFormFace() {
    Registered& r = registered();
    if (r.mainForm) return *r.mainForm;
    if (!r.mainMaker) formMissing("main window");
    return r.mainMaker();
}

MainFormFace* loadedMainForm() {
    return registered().mainForm;
}

// ---- The order window ---------------------------------------------------------------------------

Long OrderFrmFace::ListIndex() const {
    return List1->currentRow();
}

Long OrderFrmFace::ListCount() const {
    return List1->count();
}

std::string OrderFrmFace::ListText(Long index) const {
    const QListWidgetItem* item = List1->item(index);
    if (!item) throw RuntimeError(err::InvalidCall);
    return programText(item->text());
}

bool OrderFrmFace::Selected(Long index) const {
    const QListWidgetItem* item = List1->item(index);
    if (!item) throw RuntimeError(err::InvalidCall);
    return item->isSelected();
}

void OrderFrmFace::setSelected(Long index, bool on) {
    QListWidgetItem* item = List1->item(index);
    if (!item) throw RuntimeError(err::InvalidCall);
    item->setSelected(on);
}

OrderFrmFace& orderFrmFace() {
    Registered& r = registered();
    if (r.orderFrm) return *r.orderFrm;
    if (!r.orderMaker) formMissing("order window");
    return r.orderMaker();
}

void CloseOrderWindow() {
    Registered& r = registered();
    if (r.orderFrm) r.orderUnloader();
}

// ---- The map window -----------------------------------------------------------------------------

Picture& MapPicture() {
    Registered& r = registered();
    if (!r.mapMaker) formMissing("map window");
    return r.mapMaker();
}

// ---- The forms' side ----------------------------------------------------------------------------

void RegisterMainForm(MainFormFace* form) {
    registered().mainForm = form;
}

void SetMainFormMaker(MainFormFace& (*make)()) {
    registered().mainMaker = make;
}

void RegisterOrderFrm(OrderFrmFace* form) {
    registered().orderFrm = form;
}

void SetOrderFrmMakers(OrderFrmFace& (*make)(), void (*unload)()) {
    registered().orderMaker = make;
    registered().orderUnloader = unload;
}

void SetMapPictureMaker(Picture& (*make)()) {
    registered().mapMaker = make;
}
