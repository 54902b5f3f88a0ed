#include "viewer/shell/URLList.h"

#include "common/MStringSortRoutines.h"
#include "common/Strings.h"
#include "common/Ui.h"
#include "gui/QtText.h"
#include "platform/Profile.h"
#include "runtime/Convert.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "viewer/map/SharedState.h"
#include "viewer/shell/FormFaces.h"

#include <QComboBox>
#include <algorithm>
#include <unordered_map>
#include <vector>

namespace {

constexpr const char* kUrlSection = "URL List";
// The remembered entries are keys "URLfile 1" to "URLfile 200".
constexpr Long kUrlKeys = 200;
// The shut-down's compaction rewrites only the first hundred keys.
constexpr Long kCompactKeys = 100;

std::string urlKey(Long n) {
    return "URLfile" + Str(n);
}

// The list's section read once, its keys looked up without regard to case, the first of
// duplicate keys winning, as a read of each key would give them: a full list is hundreds of
// keys, and reading the file once per key grew with the square of its length.
class UrlSection {
public:
    UrlSection() {
        for (auto& [name, value] : GetProfileSection(kUrlSection, Opt.IniFile))
            values_.emplace(UCase(name), std::move(value));
    }
    std::string value(const std::string& key) const {
        const auto it = values_.find(UCase(key));
        return it == values_.end() ? std::string() : it->second;
    }

private:
    std::unordered_map<std::string, std::string> values_;
};

void writeUrlKey(Long n, const std::string& value) {
    PutString(urlKey(n), kUrlSection, Opt.IniFile, value);
}

// URL(1..) := entries; URL(0) is kept.
void setRememberedList(const std::vector<std::string>& entries) {
    std::string current;
    if (Opt.URL.IsAllocated() && Opt.URL.LBound() <= 0 && Opt.URL.UBound() >= 0)
        current = Opt.URL(0);
    Opt.nURL = static_cast<Long>(entries.size());
    Opt.URL.ReDim(0, Opt.nURL);
    Opt.URL(0) = current;
    for (Long i = 1; i <= Opt.nURL; ++i)
        Opt.URL(i) = entries[static_cast<std::size_t>(i - 1)];
}

// When each stored entry was added: "URLadded n" beside "URLfile n" holds a count that grows
// with every add, so that a full list knows its oldest entry even after the compaction has
// sorted the keys. An entry without one (stored before the counts were kept) is older than
// every counted one.
std::string addedKey(Long n) {
    return "URLadded" + Str(n);
}

struct StoredEntry {
    std::string value;
    Long added = 0;
};

// Keys 1 to last as they are stored (empty values included).
std::vector<StoredEntry> readStored(Long last) {
    const UrlSection section;
    std::vector<StoredEntry> out;
    for (Long n = 1; n <= last; ++n) {
        StoredEntry e;
        e.value = section.value(urlKey(n));
        if (!e.value.empty()) e.added = SettingLongOf(section.value(addedKey(n)));
        out.push_back(std::move(e));
    }
    return out;
}

// Writes keys 1 to after.size() where they differ from before (as read by readStored).
void writeStored(const std::vector<StoredEntry>& before, const std::vector<StoredEntry>& after) {
    for (std::size_t i = 0; i < after.size(); ++i) {
        const Long n = static_cast<Long>(i + 1);
        const StoredEntry was = i < before.size() ? before[i] : StoredEntry{};
        const StoredEntry& now = after[i];
        if (now.value != was.value) writeUrlKey(n, now.value);
        const std::string added = now.value.empty() ? std::string() : CStr(now.added);
        const std::string wasAdded = was.value.empty() ? std::string() : CStr(was.added);
        if (added != wasAdded || now.value != was.value)
            PutString(addedKey(n), kUrlSection, Opt.IniFile, added);
    }
}

Long newestAdded(const std::vector<StoredEntry>& entries) {
    Long newest = 0;
    for (const StoredEntry& e : entries)
        if (!e.value.empty()) newest = std::max(newest, e.added);
    return newest;
}

// The entries without repeats (regardless of case; the first place keeps the newest count of
// its copies) and without gaps, in key order, padded with free keys to the same length.
std::vector<StoredEntry> closedUp(const std::vector<StoredEntry>& entries) {
    std::vector<StoredEntry> kept;
    for (const StoredEntry& e : entries) {
        if (e.value.empty()) continue;
        const std::string up = UCase(e.value);
        auto same = std::find_if(kept.begin(), kept.end(),
                                 [&](const StoredEntry& k) { return UCase(k.value) == up; });
        if (same == kept.end())
            kept.push_back(e);
        else
            same->added = std::max(same->added, e.added);
    }
    kept.resize(entries.size());
    return kept;
}

// URL holds at least URL(0), also before the start-up built the list.
void ensureUrlArray() {
    if (!Opt.URL.IsAllocated()) {
        Opt.URL.ReDim(0, 0);
        Opt.nURL = 0;
    }
}

bool passesUrlFilter(const std::string& entry) {
    const bool url = IsURL(entry);
    switch (Opt.URLFilter) {
    case 1:
        return url;
    case 2:
        return !url;
    default:
        return true;
    }
}

} // namespace

std::string lastOpenUrl() {
    return GetString("URLfile 0", kUrlSection, Opt.IniFile);
}

void startUrlList(const std::string& first) {
    std::vector<std::string> entries;
    if (!first.empty()) entries.push_back(first);
    const UrlSection section;
    for (Long n = 1; n <= kUrlKeys; ++n) {
        const std::string v = section.value(urlKey(n));
        if (v.empty() || v == first) continue;
        entries.push_back(v);
    }
    Opt.URL.ReDim(0, 0);
    setRememberedList(entries);
}

void SetURLFilter(Long filter) {
    Opt.URLFilter = filter;
    FillURLCombo();
}

namespace {

std::string& currentEntry() {
    if (!Opt.URL.IsAllocated() || Opt.URL.LBound() > 0 || Opt.URL.UBound() < 0)
        Opt.URL.ReDim(0, std::max(Opt.nURL, Long{0}));
    return Opt.URL(0);
}

} // namespace

const std::string& CurrentEntry() {
    return currentEntry();
}

void SetCurrentEntry(const std::string& entry) {
    currentEntry() = entry;
}

void AddToURLList() {
    ensureUrlArray();
    const std::string current = Opt.URL(0);
    const std::string up = UCase(current);
    const std::vector<StoredEntry> before = readStored(kUrlKeys);
    for (const StoredEntry& e : before)
        if (UCase(e.value) == up) return;

    // A full list never grows past its last key: it is closed up first, and when it is still
    // full its oldest entry gives way and the later ones move down.
    std::vector<StoredEntry> after = before;
    auto isFree = [](const StoredEntry& e) { return e.value.empty(); };
    auto freeKey = std::find_if(after.begin(), after.end(), isFree);
    if (freeKey == after.end()) {
        after = closedUp(before);
        freeKey = std::find_if(after.begin(), after.end(), isFree);
    }
    if (freeKey == after.end()) {
        const auto oldest =
            std::min_element(after.begin(), after.end(),
                             [](const auto& a, const auto& b) { return a.added < b.added; });
        after.erase(oldest);
        after.push_back(StoredEntry{});
        freeKey = after.end() - 1;
    }
    *freeKey = StoredEntry{current, AddL(newestAdded(before), 1)};
    writeStored(before, after);

    std::vector<std::string> entries;
    const UrlSection section;
    for (Long n = 1; n <= kUrlKeys; ++n) {
        const std::string v = section.value(urlKey(n));
        if (v.empty()) break;
        entries.push_back(v);
    }
    setRememberedList(entries);
    FillURLCombo();

    QComboBox* combo = mainFormFace().Combo1;
    for (int i = 0; i < combo->count(); ++i) {
        if (itemBytes(*combo, i) == current) {
            combo->setCurrentIndex(i);
            break;
        }
    }
}

void RemoveFromURLList() {
    ensureUrlArray();
    const std::string up = UCase(Opt.URL(0));
    const std::vector<StoredEntry> before = readStored(kUrlKeys);
    std::vector<StoredEntry> after = before;
    for (StoredEntry& e : after) {
        if (UCase(e.value) == up) {
            e = StoredEntry{};
            break;
        }
    }
    writeStored(before, after);
    std::vector<std::string> entries;
    for (const StoredEntry& e : after)
        if (!e.value.empty()) entries.push_back(e.value);
    setRememberedList(entries);
    FillURLCombo();
}

void CompactURLList() {
    const std::vector<StoredEntry> before = readStored(kCompactKeys);
    std::vector<std::string> values;
    for (const StoredEntry& e : before)
        if (!e.value.empty()) values.push_back(e.value);
    if (values.empty()) return;

    VArray<std::string> sorted(1, static_cast<Long>(values.size()));
    for (Long i = 1; i <= sorted.UBound(); ++i)
        sorted(i) = values[static_cast<std::size_t>(i - 1)];
    SortStrings(sorted, true, false);

    // Of the copies of an entry (regardless of case) the first in sorted order is kept, with
    // the newest count of them.
    std::vector<StoredEntry> kept;
    for (Long i = 1; i <= sorted.UBound(); ++i) {
        const std::string up = UCase(sorted(i));
        if (!kept.empty() && UCase(kept.back().value) == up) continue;
        StoredEntry e{sorted(i), 0};
        for (const StoredEntry& b : before)
            if (UCase(b.value) == up) e.added = std::max(e.added, b.added);
        kept.push_back(std::move(e));
    }
    // Free keys after the last one written, up to the last key that held an entry.
    std::size_t highest = 0;
    for (std::size_t i = 0; i < before.size(); ++i)
        if (!before[i].value.empty()) highest = i + 1;
    kept.resize(std::max(highest, kept.size()));
    writeStored(before, kept);
}

void FillURLCombo() {
    ensureUrlArray();
    QComboBox* combo = mainFormFace().Combo1;
    combo->clear();
    for (Long i = 1; i <= Opt.nURL; ++i)
        if (passesUrlFilter(Opt.URL(i))) addItemBytes(*combo, Opt.URL(i));
    // The hidden entries stay in memory for a later change of filter.
    if (combo->count() == 0) {
        ui().MsgBox("No initial file or target address exist", kOkOnly, "");
        // The placeholder entry of an empty list.
        static const std::string kNoEntry = "?";
        Opt.URL(0) = kNoEntry;
        addItemBytes(*combo, kNoEntry);
    }
    combo->setCurrentIndex(0);
}
