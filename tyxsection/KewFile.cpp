#include "tyxsection/KewFile.h"
#include "common/Strings.h"
#include "common/Ui.h"
#include "platform/AtomicFile.h"
#include "platform/Component.h"
#include "platform/Kovra.h"
#include "platform/RegularFile.h"
#include "runtime/Color.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "tyxsection/CaughtError.h"
#include "tyxsection/ColorKey.h"
#include "tyxsection/ocxStrings.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <random>
#include <sstream>

namespace {

// Loads a KEW file: false when there is no file to read; a file that is no XML, or no regular
// file (a FIFO or a device would hold the read), raises.
bool loadKew(const std::string& path, pugi::xml_document& doc) {
    std::string bytes;
    struct stat st {};
    if (const int e = ReadRegularFile(NativePath(path), bytes, st)) {
        if (e == err::FileNotFound || e == err::PathNotFound) return false;
        throw RuntimeError(e, RegularFileRefusal(path, e, st));
    }
    const pugi::xml_parse_result r = doc.load_buffer(bytes.data(), bytes.size());
    if (r) return true;
    throw RuntimeError(err::InvalidCall, std::string("Not a KEW file: ") + r.description() +
                                             " at byte " + CStr(static_cast<int64_t>(r.offset)));
}

// The first variable element whose name is varName (names compared as they stand).
pugi::xml_node findVariable(const pugi::xml_node& within, const std::string& varName) {
    for (const pugi::xpath_node& v : within.select_nodes(".//variable"))
        if (varName == v.node().attribute("name").value()) return v.node();
    return {};
}

// The text of the first element query finds below node; error 91 when there is none, as
// for an object that is not there.
std::string textBelow(const pugi::xml_node& node, const char* query) {
    const pugi::xml_node found = node.select_node(query).node();
    if (!found) throw RuntimeError(err::ObjectNotSet);
    return found.text().get();
}

void appendDivisions(pugi::xml_node variable, const ColorKeyRec& key) {
    for (Long i = 1; i <= key.count; ++i) {
        pugi::xml_node division = variable.append_child("division");
        division.append_child("low").text().set(CStr(key.low(i)).c_str());
        division.append_child("high").text().set(CStr(key.high(i)).c_str());
        division.append_child("color").text().set(CStr(key.color(i)).c_str());
    }
}

// The document as the file holds it: no whitespace between the elements.
void writeKew(const std::string& path, const pugi::xml_document& doc) {
    std::ostringstream text;
    doc.save(text, "", pugi::format_raw, pugi::encoding_utf8);
    const std::string bytes = text.str();
    AtomicFile file;
    int e = file.Open(path);
    if (e == 0) e = file.WriteAt(0, bytes.data(), bytes.size());
    if (e == 0) e = file.Commit();
    if (e != 0) throw RuntimeError(e);
}

bool hasCurrentItem(const TyxModel& m) {
    const Long item = m.main.Item_shown;
    return item >= 1 && item <= m.main.items.NumDrawAbleItems;
}

const std::string& currentItemName(const TyxModel& m) {
    return m.main.items.DrawAbleItem(m.main.Item_shown).name;
}

// The name a URL's key file takes: host, port and path without the scheme, the query and the
// extension, every character other than a letter, digit, "-" or "_" made "_".
std::string keyNameOfUrl(const std::string& url) {
    std::string rest = Trim(url);
    while (!rest.empty() && rest.front() == '[') { // netCDF-C's "[mode=dap2]" and the like
        const auto close = rest.find(']');
        rest = close == std::string::npos ? std::string() : rest.substr(close + 1);
    }
    const auto scheme = rest.find("://");
    if (scheme != std::string::npos) rest = rest.substr(scheme + 3);
    const auto query = rest.find_first_of("?#");
    if (query != std::string::npos) rest = rest.substr(0, query);
    rest = StripExt(rest);
    std::replace_if(
        rest.begin(), rest.end(),
        [](char c) { return !std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_'; },
        '_');
    return rest + ".KEW";
}

// True when a key of n divisions read into key holds a division with a span: a key whose
// divisions all run from a value to itself colours nothing.
bool spansValues(const ColorKeyRec& key, Long n) {
    for (Long i = 1; i <= n; ++i)
        if (key.high(i) > key.low(i)) return true;
    return false;
}

// One colour channel of a generated key from a random number in [0, 1).
Long randomChannel(float r) {
    return std::min<Long>(CLng(r * 256.0f), 255);
}

} // namespace

std::string KewPathOf(const std::string& dataset, const std::string& settingsFile) {
    if (!IsURL(dataset)) {
        std::string path = dataset;
        ChangeExt(path, "KEW");
        return path;
    }
    const std::string folder =
        Trim(settingsFile).empty() ? ProgramFolder() : PathFolder(Trim(settingsFile));
    return PathJoin(folder, keyNameOfUrl(dataset));
}

std::string KewPathOf(const TyxModel& m) {
    return KewPathOf(m.main.NcFileName, m.SettingsFile);
}

bool ReadKewKey(const std::string& path, const std::string& varName, ColorKeyRec& key) {
    pugi::xml_document doc;
    if (!loadKew(path, doc)) return false;
    const pugi::xml_node variable = findVariable(doc, varName);
    if (!variable) return false;
    const pugi::xpath_node_set divisions = variable.select_nodes(".//division");
    ColorKeyRec read;
    const Long n = static_cast<Long>(divisions.size());
    if (n > 0) {
        read.low.ReDim(1, n);
        read.high.ReDim(1, n);
        read.color.ReDim(1, n);
    }
    Long i = 0;
    for (const pugi::xpath_node& d : divisions) {
        ++i;
        read.low(i) = CSng(Val(textBelow(d.node(), ".//low")));
        read.high(i) = CSng(Val(textBelow(d.node(), ".//high")));
        read.color(i) = CLng(Val(textBelow(d.node(), ".//color")));
    }
    read.count = n;
    key = std::move(read);
    return true;
}

std::vector<std::string> KewVariableNames(const std::string& path) {
    std::vector<std::string> names;
    pugi::xml_document doc;
    try {
        if (!loadKew(path, doc)) return names;
    } catch (const RuntimeError&) {
        return names; // no list to offer from a file that is no XML
    }
    for (const pugi::xpath_node& v : doc.select_nodes("//variable")) {
        const pugi::xml_attribute name = v.node().attribute("name");
        if (!name) throw RuntimeError(err::ObjectNotSet);
        names.emplace_back(name.value());
    }
    return names;
}

Long GetKewCol(TyxModel& m, const std::string& filename) {
    if (!hasCurrentItem(m)) return -1;
    try {
        ColorKeyRec read;
        if (!ReadKewKey(filename, currentItemName(m), read)) return -1;
        ColorKeyRec& key = m.colour.ColorKey;
        key.low = std::move(read.low);
        key.high = std::move(read.high);
        key.color = std::move(read.color);
        return read.count;
    } catch (...) {
        const CaughtError e = CurrentError();
        ShowErrorBox("ModColor GetKewCol0", e.number, e.description);
        return -1;
    }
}

Long KewFile(TyxModel& m, const std::string& filename) {
    const Long n = GetKewCol(m, filename);
    m.colour.ColorKey.count = n;
    return n == -1 ? -1 : 1;
}

void SaveExistingKew(const std::string& path, const std::string& varName, const ColorKeyRec& key) {
    pugi::xml_document doc;
    if (!loadKew(path, doc)) throw RuntimeError(err::FileNotFound);
    pugi::xml_node section = doc.select_node("//section").node();
    if (!section) throw RuntimeError(err::ObjectNotSet);
    // Every element of the name goes, so that a reader cannot find an older key first.
    while (pugi::xml_node old = findVariable(section, varName))
        old.parent().remove_child(old);
    pugi::xml_node variable = section.append_child("variable");
    variable.append_attribute("name").set_value(varName.c_str());
    appendDivisions(variable, key);
    writeKew(path, doc);
}

void SaveKEW(TyxModel& m) {
    try {
        const std::string path = KewPathOf(m);
        // A dataset named like its key file is not written over.
        if (SameFile(path, m.main.NcFileName)) throw RuntimeError(err::PermissionDenied);
        const std::string& name = currentItemName(m);
        if (Exist(path)) {
            SaveExistingKew(path, name, m.colour.ColorKey);
            return;
        }
        pugi::xml_document doc;
        pugi::xml_node declaration = doc.prepend_child(pugi::node_declaration);
        declaration.append_attribute("version").set_value("1.0");
        pugi::xml_node variable = doc.append_child("section").append_child("variable");
        variable.append_attribute("name").set_value(name.c_str());
        appendDivisions(variable, m.colour.ColorKey);
        writeKew(path, doc);
    } catch (...) {
        const CaughtError e = CurrentError();
        ShowErrorBox("ModColor SaveKEW0", e.number, e.description);
    }
}

void ShowErrorBox(const std::string& caption, int number, const std::string& description) {
    ui().MsgBox("Error " + CStr(static_cast<Long>(number)) + ": " + description + "\r\n" + caption,
                kExclamation, "Error creating section view");
}

void ProvideColorKey(TyxModel& m, const std::string& filename,
                     const std::function<void()>& readItem) {
    ColorKeyRec& key = m.colour.ColorKey;
    if (key.count >= 1) return;
    if (!hasCurrentItem(m)) {
        m.ErrorMessage = "[InitColorKey] No item to make a colour key for: NcFile has not "
                         "opened a dataset";
        return;
    }
    try {
        NewColorKey(m);
        // The key given, else the user's key of the item in the dataset's own key file: a key
        // the user made is never replaced by a generated one.
        for (const std::string& path : {filename, KewPathOf(m)}) {
            if (!Exist(path)) continue;
            const Long n = GetKewCol(m, path);
            if (n >= 1 && spansValues(m.colour.ColorKey, n)) {
                key.count = n;
                m.colour.UseColorKeyFlag = -1;
                return;
            }
            NewColorKey(m);
        }
        // The divisions span the item's display range, which a read sets; without one there
        // is nothing to make a key of.
        readItem();
        const DrawAbleItemRec& item = m.main.items.DrawAbleItem(m.main.Item_shown);
        if (!(item.high > item.low) || !std::isfinite(item.high - item.low)) {
            m.ErrorMessage = "[InitColorKey] No values along the section to make a colour key of";
            return;
        }
        const float step = std::fabs(item.high - item.low) / 10;
        std::mt19937 generator(static_cast<std::mt19937::result_type>(
            std::chrono::system_clock::now().time_since_epoch().count()));
        std::uniform_real_distribution<float> random(0.0f, 1.0f);
        for (Long k = 0; k <= 9; ++k) {
            const float lo = static_cast<float>(k) * step + item.low;
            const float hi = static_cast<float>(k + 1) * step + item.low;
            const float r1 = random(generator);
            const float r2 = random(generator);
            const float r3 = random(generator);
            AddColorKey(m, lo, hi, RGB(randomChannel(r1), randomChannel(r2), randomChannel(r3)));
        }
        m.colour.UseColorKeyFlag = -1;
        // A key of the item already in the dataset's file stays as it is, even an empty one.
        ColorKeyRec existing;
        const std::string own = KewPathOf(m);
        bool held = false;
        try {
            held = ReadKewKey(own, currentItemName(m), existing);
        } catch (const RuntimeError&) {
            held = Exist(own); // a file that cannot be read is not written over either
        }
        if (!held) SaveKEW(m);
    } catch (...) {
        ui().MsgBox(CurrentError().description, kInformation, "InitColorKey");
    }
}
