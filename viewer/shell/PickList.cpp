#include "viewer/shell/PickList.h"

#include "common/Ui.h"
#include "gui/QtText.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "viewer/map/DataChoices.h"
#include "viewer/map/GridKinds.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/shell/FormFaces.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

namespace {

IKelvad& dataset() {
    if (!Data.clsNC) throw RuntimeError(err::ObjectNotSet);
    return *Data.clsNC;
}

// A coordinate variable carries the name of its first dimension.
bool IsCoordinateVariable(IKelvad& nc, Long n, Long slot) {
    return nc.variName(n, slot) == nc.variArrayDimName(n, 1, slot);
}

// Selects the first position from the top whose variable number is id.
void preselect(OrderVarList& list, const std::vector<Long>& varOfPosition, Long id) {
    for (std::size_t i = 0; i < varOfPosition.size(); ++i) {
        if (varOfPosition[i] == id) {
            list.selected.push_back(static_cast<Long>(i));
            return;
        }
    }
}

// Every line of the description ends this way, as the window has always shown it.
constexpr const char* kLineEnd = "\r\r\n";

std::string describeError(const std::exception& e) {
    if (const auto* r = dynamic_cast<const RuntimeError*>(&e)) return r->description();
    return e.what();
}

void setBox(QLineEdit* box, const std::string& text) {
    box->setText(qtText(text));
}

} // namespace

std::string OrderDetailText;

double ListNumberOf(const std::string& entryText) {
    const auto colon = entryText.find(':');
    return Val(colon == std::string::npos ? entryText : entryText.substr(0, colon));
}

std::string OrderListEntry(Long n, const std::string& name) {
    return Format(n, n < 10 ? " 0: " : "00: ") + name;
}

PickItem DecodePick(Long n) {
    IKelvad& nc = dataset();
    const Long nVars1 = nc.nVars(1);
    PickItem item;
    if (n <= nVars1) {
        item.varNumber = n;
        item.narray = nc.variNarray(n, 1);
        item.datasetIndex = 1;
    } else {
        item.varNumber = n - nVars1;
        item.narray = nc.variNarray(item.varNumber, 2);
        item.datasetIndex = 2;
    }
    return item;
}

OrderVarList MakeOrderVarList() {
    IKelvad& nc = dataset();
    OrderVarList list;
    std::vector<Long> varOfPosition; // variable number within its own dataset, per position

    const Long nVars1 = nc.nVars(1);
    const Long lonId = nc.lonvId(1), latId = nc.latvId(1);
    const auto fitsGrid1 = nVars1 > 0 ? MapKindOf(nc.GridType(1)).fitsGrid : nullptr;
    for (Long n = 1; n <= nVars1; ++n) {
        if (IsCoordinateVariable(nc, n, 1)) continue;
        if (n == lonId || n == latId) continue;
        if (nc.variNarray(n, 1) <= 0) continue;
        if (!fitsGrid1(nc, n, 1)) continue;
        list.entries.push_back(OrderListEntry(n, nc.variName(n, 1)));
        varOfPosition.push_back(n);
    }
    // The second file: only the coordinate and grid tests, on its own records.
    const Long nVars2 = nc.nVars(2);
    const auto fitsGrid2 = nVars2 > 0 ? MapKindOf(nc.GridType(2)).fitsGrid : nullptr;
    for (Long k = 1; k <= nVars2; ++k) {
        if (IsCoordinateVariable(nc, k, 2)) continue;
        if (!fitsGrid2(nc, k, 2)) continue;
        list.entries.push_back(OrderListEntry(nVars1 + k, nc.variName(k, 2)));
        varOfPosition.push_back(k);
    }

    if (list.entries.size() == 1) {
        list.selected.push_back(0);
    } else if (list.entries.size() > 1) {
        // A current (1) or wind (2) pair comes preselected.
        const Long pair = nc.Vector(1);
        if (pair == 1 || pair == 2) {
            const Long u = pair == 1 ? nc.waterUvId(1) : nc.windUvId(1);
            const Long v = pair == 1 ? nc.waterVvId(1) : nc.windVvId(1);
            if (pair == 1)
                SetWaterComponents(u, v);
            else
                SetWindComponents(u, v);
            preselect(list, varOfPosition, u);
            preselect(list, varOfPosition, v);
        }
    }
    return list;
}

void FillOrderVarList() {
    OrderFrmFace& f = orderFrmFace();
    const OrderVarList list = MakeOrderVarList();
    const Long first = f.ListCount();
    for (const std::string& e : list.entries)
        f.List1->addItem(qtText(e));
    for (Long i : list.selected)
        f.setSelected(first + i, true);
}

std::string TransferSizeText(double bytes) {
    const float size = static_cast<float>(bytes / 1000);
    if (size < 1000) return Format(size, "#0.00K");
    return Format(size / 1000, "#0.0M");
}

namespace {

// The entry at the list's cursor: its variable, the dataset slot it belongs to, its rank.
struct OrderEntry {
    std::string text;
    Long v = 0;
    Long slot = 1;
    Long rank = 0;
};

OrderEntry orderEntry(IKelvad& nc, const std::string& listText) {
    OrderEntry e;
    e.text = Trim(listText);
    const Long n = CLng(ListNumberOf(e.text));
    const Long nVars1 = nc.nVars(1);
    e.slot = n > nVars1 ? 2 : 1;
    e.v = n > nVars1 ? n - nVars1 : n;
    e.rank = nc.variNarray(e.v, e.slot);
    return e;
}

// The transfer size of the entry's read window; the window's total count is kept beside it.
std::string windowTransferSize(IKelvad& nc, const OrderEntry& e) {
    double counts = 1;
    Long product = 1;
    for (Long d = 1; d <= e.rank; ++d) {
        counts *= Win.countp(d);
        product = MulL(product, Win.countp(d));
    }
    Win.tcount = product;
    return TransferSizeText(nc.variByteUnit(e.v, e.slot) * counts);
}

// The description: dimensions and size, long name, the window of each dimension, the
// attributes.
std::string orderDetailText(IKelvad& nc, const OrderEntry& e, const std::string& sizeText,
                            Long strideRows) {
    const Long v = e.v;
    const Long slot = e.slot;
    std::string text = e.text + " (";
    for (Long d = 1; d <= e.rank; ++d) {
        if (d > 1) text += ", ";
        text += nc.variArrayDimName(v, d, slot);
    }
    text += ") " + sizeText + kLineEnd;
    text += "   " + nc.variLongName(v, slot) + kLineEnd;
    for (Long d = 1; d <= e.rank; ++d) {
        text += nc.variArrayDimName(v, d, slot) + ":" + Str(Win.startp(d)) + " to " +
                Str(Win.endp(d)) + " step " + Str(Win.stride(d)) + " : " + Str(Win.countp(d));
        // The window has stride and subset rows for four dimensions only.
        if (d > strideRows) text += "  (no row: default stride)";
        text += kLineEnd;
    }
    text += "Unit: " + nc.variUnit(v, slot) + kLineEnd;
    text += "Scale: " + nc.variScale(v, slot) + kLineEnd;
    text += "Offset: " + nc.variOffset(v, slot) + kLineEnd;
    text += "Missing: " + nc.variMisnVal(v, slot) + kLineEnd;
    return text;
}

// The range box and the step (or level) box of the time or level axis; dimension -1 is none.
void showAxis(QLineEdit* range, QLineEdit* current, IKelvad& nc, Long dimension, Long value) {
    if (dimension < 0) {
        setBox(range, "(none)");
        setBox(current, "n/a");
    } else {
        setBox(range, "1 to " + Str(nc.dimeSize(dimension + 1, 1)));
        setBox(current, CStr(value));
    }
}

bool anySelected(const OrderFrmFace& f) {
    for (Long i = 0; i < f.ListCount(); ++i)
        if (f.Selected(i)) return true;
    return false;
}

// The subset rows take the entry's window, one row per dimension that has one.
void fillSubsetRows(OrderFrmFace& f, IKelvad& nc, const OrderEntry& e,
                    const std::string& sizeText) {
    for (std::size_t row = 0; row < f.Text4.size(); ++row) {
        f.Text4[row]->clear();
        f.Text5[row]->clear();
        f.Text6[row]->clear();
        f.Text7[row]->clear();
        f.Text3[row]->clear();
    }
    for (Long d = 1; d <= e.rank && d <= static_cast<Long>(f.Text4.size()); ++d) {
        const auto row = static_cast<std::size_t>(d - 1);
        setBox(f.Text4[row], nc.variArrayDimName(e.v, d, e.slot));
        setBox(f.Text5[row], Str(Win.startp(d)));
        setBox(f.Text6[row], Str(Win.endp(d)));
        setBox(f.Text7[row], Str(Win.stride(d)));
        setBox(f.Text3[row], Str(Win.countp(d)));
    }
    setBox(f.Text8, sizeText);
}

} // namespace

void ShowOrderDetail() {
    try {
        OrderFrmFace& f = orderFrmFace();
        const Long cursor = f.ListIndex();
        if (cursor == -1) return;
        IKelvad& nc = dataset();
        const OrderEntry e = orderEntry(nc, f.ListText(cursor));

        // The read window of the variable in its own dataset; its messages are its own.
        CalculateGridScalar(e.v, e.slot);
        const std::string sizeText = windowTransferSize(nc, e);

        const std::string text =
            orderDetailText(nc, e, sizeText, static_cast<Long>(f.Text11.size()));
        OrderDetailText = text;
        // The text box shows each line once; its line ends are kept in OrderDetailText.
        f.Text1->setPlainText(qtText(Replace(text, kLineEnd, "\n")));

        showAxis(f.Text9[0], f.Text10[0], nc, nc.TimedId(1), Data.CurTimeStep);
        showAxis(f.Text9[1], f.Text10[1], nc, nc.LeveldId(1), Data.CurLevel);

        // A click that has just deselected its entry leaves the rows of the picks alone.
        if (anySelected(f) && !f.Selected(cursor)) return;
        fillSubsetRows(f, nc, e, sizeText);
    } catch (const std::exception& e) {
        ui().MsgBox("[ShowOrderDetail] " + describeError(e), kOkOnly, kProgramTitle);
    }
}
