#pragma once
// The pick list of the order window and the description of its entry at the cursor. An entry is
// its list number, a colon, a blank and the variable's name; a variable of the main dataset keeps
// its own number, a variable of the second file is numbered after the main dataset's last
// variable. The commands decode the number back into a variable number and a dataset slot.
#include "runtime/Types.h"
#include "viewer/map/SharedState.h"

#include <string>
#include <vector>

// The list number of an entry: the numeric value of its text before the first colon (0 when
// the text does not begin with a number).
double ListNumberOf(const std::string& entryText);
// The entry of list number n: " 3: temp" below 10, "12: temp" from 10 on.
std::string OrderListEntry(Long n, const std::string& name);
// The picked item of list number n (variable number, rank and slot read from its own dataset).
PickItem DecodePick(Long n);

// What FillOrderVarList puts into the list: the entries in order, and the positions (0-based)
// that it preselects.
struct OrderVarList {
    std::vector<std::string> entries;
    std::vector<Long> selected;
};
// Works out the entries of the open datasets and the preselection; sets water_U_vId,
// water_V_vId, wind_U_vId, wind_V_vId when the dataset names a vector pair.
OrderVarList MakeOrderVarList();
// Appends the entries to OrderFrm's List1 (its caller clears it first) and selects the
// preselected ones.
void FillOrderVarList();

// The size text of a window of `bytes` bytes: "#0.00K" below 1000 K, else "#0.0M" (steps of
// 1000).
std::string TransferSizeText(double bytes);
// The last description as ShowOrderDetail made it: every line ends in CR, CR LF.
extern std::string OrderDetailText;
// Describes the entry at the cursor of the order window: the description text, the time and
// level rows, and (unless the cursor entry has just been deselected) the dimension rows and
// the transfer size. A failure inside shows "[ShowOrderDetail] " and its text.
void ShowOrderDetail();
