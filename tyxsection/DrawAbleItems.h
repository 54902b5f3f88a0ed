#pragma once
// The drawable items of the control's dataset (variables with the vertical dimension and two
// more) and the choice of the current one.
#include "runtime/Variant.h"
#include "tyxsection/TyxModel.h"

#include <string>

// Rebuilds items from the dataset record; the number of items. 0 without a vertical
// coordinate (items left as they were) or on failure ("Error: " and the error in
// errorMessage).
Long BuildItemList(const OcxNcf& ncf, ItemList& items, std::string& errorMessage);
// The index in ncf.vari of the variable named exactly like item itemNo; 0 when none.
Long ItemMatch(const OcxNcf& ncf, const ItemList& items, Long itemNo, std::string& errorMessage);
// Makes the first item named vName (letter case aside) the current one; Integer 1 or -1.
Variant SelectVarByName(TyxModel& m, const std::string& vName);
// Makes item Order the current one; Integer 1 or -1 (quietly for an Order out of range).
Variant SelectVarByOrder(TyxModel& m, Long Order);
