#pragma once
// The remembered list: the datasets and URLs offered in the main window's list box, kept in the
// settings file (section "URL List", keys "URLfile 1" to "URLfile 200") and in URL(1..nURL).
#include "runtime/Types.h"

#include <string>

// Adds URL(0) unless stored (an add never writes past "URLfile 200": a full list is closed up
// first and, when still full, gives up the entry added longest ago), refreshes the list box and
// selects it. "URLadded n" keeps the order in which the entries were added.
void AddToURLList();
// Deletes the first stored copy of URL(0) and refreshes.
void RemoveFromURLList();
// Rewrites keys 1 to 100 sorted, without repeats regardless of case (each entry keeps its
// "URLadded" count).
void CompactURLList();
// Refills MainForm's list box from URL(1..nURL) through URLFilter (1: the URLs only, 2: the
// files only; IsURL tells them apart).
void FillURLCombo();
// The list box's filter of the menu (0 all, 1 URLs only, 2 files only); the box is refilled.
void SetURLFilter(Long filter);
// The entry in force (URL(0)): what the main window loads, adds or removes next. A list the
// start-up has not built yet is made first (URL(0 .. nURL), all empty).
const std::string& CurrentEntry();
void SetCurrentEntry(const std::string& entry);

// The entry open at the last shut-down ("URLfile 0").
std::string lastOpenUrl();
// The list of the start-up: URL(0) empty, then first (when not empty) and the stored entries
// other than first, in key order.
void startUrlList(const std::string& first);
