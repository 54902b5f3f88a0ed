#include "tyxsection/TyxSect.h"
#include "gui/PictureWidget.h"
#include "gui/QtText.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"
#include "tyxsection/CaughtError.h"
#include "tyxsection/ColorKey.h"
#include "tyxsection/DrawAbleItems.h"
#include "tyxsection/KewFile.h"
#include "tyxsection/TyxMain.h"
#include "tyxsection/TyxPictures.h"
#include "tyxsection/dialogs/frmOptions.h"

#include <QResizeEvent>
#include <QVariantMap>

#include <utility>

namespace {

// The text a member leaves for an error it caught.
std::string caughtText(const char* member) {
    const CaughtError e = CurrentError();
    std::string text = "[";
    text.append(member);
    text.append("] Error: ");
    text.append(CStr(static_cast<Long>(e.number)));
    text.append(" ");
    text.append(e.description);
    return text;
}

QVariant status(Long s) {
    return QVariant::fromValue(static_cast<short>(s));
}

QVariant fromVariant(const Variant& v) {
    if (v.IsEmpty()) return QVariant();
    return status(v.toInteger());
}

const QVariant kFailed = QVariant::fromValue(static_cast<short>(-1));

} // namespace

class TyxSect::DrawingScope {
public:
    // A drawing that a call made while events ran inside another one is not the outermost:
    // the redraw waits for the outermost to end.
    explicit DrawingScope(TyxSect& s) : s_(s), outermost_(!s.drawing_) { s_.drawing_ = true; }
    ~DrawingScope() {
        if (!outermost_) return;
        s_.drawing_ = false;
        if (s_.redrawPending_) {
            s_.redrawPending_ = false;
            s_.ReDraw();
        }
    }
    DrawingScope(const DrawingScope&) = delete;
    DrawingScope& operator=(const DrawingScope&) = delete;

private:
    TyxSect& s_;
    bool outermost_;
};

TyxSect::TyxSect(std::shared_ptr<TyxModel> model, QWidget* parent)
    : QWidget(parent), model_(std::move(model)) {
    picture1_ = new PictureWidget(this);
    picture1_->setObjectName("Picture1");
    picture1_->onResize = [this] { Picture1_Resize(); };
    UserControl_Resize();
}

TyxSect::~TyxSect() {
    // No redraw while the pictures go.
    picture1_->onResize = nullptr;
}

template <class F>
QVariant TyxSect::trapped(const char* member, const QVariant& failure, F&& work) {
    try {
        return work();
    } catch (...) {
        model_->ErrorMessage = caughtText(member);
        return failure;
    }
}

template <class F> void TyxSect::trappedVoid(const char* member, F&& work) {
    try {
        work();
    } catch (...) {
        model_->ErrorMessage = caughtText(member);
    }
}

TyxPictures TyxSect::pictures() {
    return TyxPictures{picture1_->picture(), picDateTime_, picSection_, picContours_};
}

void TyxSect::ShowOptions() {
    trappedVoid("ShowOptions", [&] {
        if (ShowOptionsDialog(*model_) > 0) ReDraw();
    });
}

QVariant TyxSect::NcFile(const QString& filename) {
    return trapped("NcFile", kFailed,
                   [&] { return status(OpenDataset(*model_, programText(filename))); });
}

QVariant TyxSect::KewFile(const QString& filename) {
    return trapped("KewFile", kFailed,
                   [&] { return status(::KewFile(*model_, programText(filename))); });
}

void TyxSect::NewSection() {
    trappedVoid("NewSection", [&] { ::NewSection(*model_); });
}

void TyxSect::AddSection(float X, float y) {
    trappedVoid("AddSection", [&] { ::AddSection(*model_, X, y); });
}

void TyxSect::AddColorKey(float vLow, float vHig, int col) {
    trappedVoid("AddColorKey", [&] { ::AddColorKey(*model_, vLow, vHig, col); });
}

void TyxSect::NewColorKey() {
    trappedVoid("NewColorKey", [&] { ::NewColorKey(*model_); });
}

QVariant TyxSect::EndSection() {
    return trapped("EndSection", kFailed, [&] { return status(::EndSection(*model_)); });
}

QVariant TyxSect::SetVarByName(const QString& vName) {
    return trapped("SetVarByName", kFailed,
                   [&] { return fromVariant(SelectVarByName(*model_, programText(vName))); });
}

QVariant TyxSect::SetVarByOrder(int Order) {
    return trapped("SetVarByOrder", kFailed,
                   [&] { return fromVariant(SelectVarByOrder(*model_, Order)); });
}

QString TyxSect::ErrorMessage() const {
    return qtText(model_->ErrorMessage);
}

int TyxSect::NumDrawAbleItems() const {
    return model_->main.items.NumDrawAbleItems;
}

QString TyxSect::ItemName(int nOrder) {
    return trapped("ItemName", QString(),
                   [&] {
                       const ItemList& items = model_->main.items;
                       if (nOrder < 1 || nOrder > items.NumDrawAbleItems) return QVariant("");
                       return QVariant(qtText(items.DrawAbleItem(nOrder).name));
                   })
        .toString();
}

bool TyxSect::DrawProfile() const {
    return model_->main.ViewStyle == 1;
}

void TyxSect::setDrawProfile(bool on) {
    model_->main.ViewStyle = on ? 1 : 2;
}

bool TyxSect::DrawVerticalSection() const {
    return model_->main.ViewStyle == 2;
}

void TyxSect::setDrawVerticalSection(bool on) {
    model_->main.ViewStyle = on ? 2 : 1;
}

QVariant TyxSect::Draw() {
    return trapped("Draw", kFailed, [&] {
        DrawingScope scope(*this);
        TyxPictures p = pictures();
        return fromVariant(DrawCurrent(*model_, p));
    });
}

void TyxSect::SetCurrentTime(int lTime) {
    trappedVoid("SetCurrentTime", [&] {
        DrawingScope scope(*this);
        TyxPictures p = pictures();
        ::SetCurrentTime(*model_, p, lTime);
    });
}

QVariant TyxSect::AdvanceTime(int nt) {
    return trapped("AdvanceTime", QVariant(-1), [&] {
        DrawingScope scope(*this);
        TyxPictures p = pictures();
        return QVariant(static_cast<int>(::AdvanceTime(*model_, p, nt)));
    });
}

QVariant TyxSect::ReDraw() {
    if (drawing_) {
        redrawPending_ = true;
        return QVariant();
    }
    return trapped("ReDraw", kFailed, [&] {
        DrawingScope scope(*this);
        TyxPictures p = pictures();
        DrawHeld(*model_, p);
        return QVariant();
    });
}

bool TyxSect::UseColorKey() const {
    return model_->colour.UseColorKeyFlag == -1;
}

void TyxSect::setUseColorKey(bool on) {
    SetUseColorKey(*model_, on);
}

void TyxSect::InitColorKey(const QString& filename) {
    trappedVoid("InitColorKey", [&] { ::InitColorKey(*model_, programText(filename)); });
}

Picture* TyxSect::pictureNamed(const QString& name) {
    if (name == "Picture1") return &picture1_->picture();
    if (name == "picSection") return &picSection_;
    if (name == "picDateTime") return &picDateTime_;
    if (name == "picContours") return &picContours_;
    return nullptr;
}

void TyxSect::recordPictures(bool on) {
    for (const char* name : {"Picture1", "picSection", "picDateTime", "picContours"}) {
        Picture* p = pictureNamed(name);
        p->clearRecords();
        p->setRecording(on);
    }
}

namespace {

const char* kindName(DrawKind k) {
    switch (k) {
    case DrawKind::Cls:
        return "Cls";
    case DrawKind::Line:
        return "Line";
    case DrawKind::Box:
        return "Box";
    case DrawKind::FilledBox:
        return "FilledBox";
    case DrawKind::PSet:
        return "PSet";
    case DrawKind::Circle:
        return "Circle";
    case DrawKind::Print:
        return "Print";
    case DrawKind::Polygon:
        return "Polygon";
    case DrawKind::Polyline:
        return "Polyline";
    case DrawKind::SetPixel:
        return "SetPixel";
    case DrawKind::BitBlt:
        return "BitBlt";
    }
    return "";
}

} // namespace

QVariantList TyxSect::pictureRecords(const QString& name) {
    QVariantList list;
    const Picture* p = pictureNamed(name);
    if (!p) return list;
    for (const DrawRecord& r : p->records()) {
        QVariantList at, px;
        for (double v : r.at)
            at.push_back(v);
        for (int v : r.px)
            px.push_back(v);
        QVariantMap map;
        map["kind"] = QString(kindName(r.kind));
        map["at"] = at;
        map["px"] = px;
        map["color"] = static_cast<int>(r.color);
        map["fillColor"] = static_cast<int>(r.fillColor);
        map["fillStyle"] = r.fillStyle;
        map["drawMode"] = r.drawMode;
        map["drawWidth"] = r.drawWidth;
        map["text"] = qtText(r.text);
        list.push_back(map);
    }
    return list;
}

QImage TyxSect::pictureImage(const QString& name) {
    const Picture* p = pictureNamed(name);
    return p ? p->image() : QImage();
}

void TyxSect::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UserControl_Resize();
}

void TyxSect::UserControl_Resize() {
    const int w = width() > 0 ? width() : 1;
    const int h = height() > 0 ? height() : 1;
    picDateTime_.resize(w, h);
    picSection_.resize(w, h);
    picContours_.resize(w, h);
    // The visible picture takes the size at once, also while the control is hidden (its
    // widget hears of the new size only once shown).
    picture1_->picture().resize(w, h);
    picture1_->setGeometry(0, 0, w, h);
}

void TyxSect::Picture1_Resize() {
    ReDraw();
}
