#include "tyxsection/DrawAbleItems.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"

namespace {

std::string errorText(const RuntimeError& e) {
    return CStr(static_cast<Long>(e.number())) + " " + e.description();
}

// The first variable named exactly like the item; 0 when none.
Long variableOf(const OcxNcf& ncf, const DrawAbleItemRec& item) {
    for (Long n = 1; n <= ncf.nVars; ++n)
        if (ncf.vari(n).name == item.name) return n;
    return 0;
}

} // namespace

Long BuildItemList(const OcxNcf& ncf, ItemList& items, std::string& errorMessage) {
    if (ncf.level_dId < 0) return 0;
    try {
        ItemList list;
        for (Long n = 1; n <= ncf.nVars; ++n) {
            const OcxVari& v = ncf.vari(n);
            if (v.narray < 3) continue;
            bool hasLevel = false;
            for (Long i = 1; i <= v.narray; ++i)
                hasLevel = hasLevel || v.arrayDimId[i] == ncf.level_dId;
            if (!hasLevel) continue;
            list.NumDrawAbleItems = list.NumDrawAbleItems + 1;
            list.DrawAbleItem.ReDimPreserve(1, list.NumDrawAbleItems);
            DrawAbleItemRec& item = list.DrawAbleItem(list.NumDrawAbleItems);
            item.name = v.name;
            item.units = v.unit;
            item.nvar = n;
        }
        items = std::move(list);
        return items.NumDrawAbleItems;
    } catch (const RuntimeError& e) {
        errorMessage = "Error: " + errorText(e);
        return 0;
    }
}

Long ItemMatch(const OcxNcf& ncf, const ItemList& items, Long itemNo, std::string& errorMessage) {
    const Long n = variableOf(ncf, items.DrawAbleItem(itemNo));
    if (n == 0) errorMessage = "[ItemMatch&] Item_shown& does not match nc varable";
    return n;
}

Variant SelectVarByName(TyxModel& m, const std::string& vName) {
    const Variant failed(Integer{-1});
    try {
        TyxMainState& main = m.main;
        const std::string wanted = UCase(vName);
        Long found = 0;
        for (Long k = 1; k <= main.items.NumDrawAbleItems && found == 0; ++k)
            if (UCase(main.items.DrawAbleItem(k).name) == wanted) found = k;
        if (found > 0) {
            main.Item_shown = found;
            main.nvar_it = variableOf(m.reader, main.items.DrawAbleItem(found));
            if (main.nvar_it > 0) return Variant(Integer{1});
        }
        m.ErrorMessage = "[SelectVarByName] nc varable not identified";
        return failed;
    } catch (const RuntimeError& e) {
        m.ErrorMessage = "[SelectVarByName] Error: " + errorText(e);
        return failed;
    }
}

Variant SelectVarByOrder(TyxModel& m, Long Order) {
    const Variant failed(Integer{-1});
    try {
        TyxMainState& main = m.main;
        if (Order < 1 || Order > main.items.NumDrawAbleItems) return failed;
        main.Item_shown = Order;
        main.nvar_it = variableOf(m.reader, main.items.DrawAbleItem(Order));
        if (main.nvar_it > 0) return Variant(Integer{1});
        m.ErrorMessage = "[SelectVarByOrder] nc varable not identified";
        return failed;
    } catch (const RuntimeError& e) {
        m.ErrorMessage = "[SelectVarByOrder] Error: " + errorText(e);
        return failed;
    }
}
