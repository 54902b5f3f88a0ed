#include "kelvadlib/NCUtils.h"

#include "common/Strings.h"
#include "runtime/Strings.h"

#include <string_view>
#include <unordered_set>
#include <vector>

bool InAliasList(const std::string& name, const std::string& list) {
    for (const std::string_view word : ListTokens(list)) {
        if (SameWord(word, name)) return true;
    }
    return false;
}

AliasWords::AliasWords(const std::string& list) {
    for (const std::string_view word : ListTokens(list))
        upper_.insert(UCase(std::string(word)));
}

bool AliasWords::contains(const std::string& name) const {
    return !upper_.empty() && upper_.count(UCase(name)) != 0;
}

std::string NcTypeName(Long code) {
    switch (code) {
    case 0:
        return "NAT ";
    case 1:
        return "byte ";
    case 2:
        return "char ";
    case 3:
        return "short ";
    case 4:
        return "int ";
    case 5:
        return "float ";
    case 6:
        return "double ";
    default:
        return "???";
    }
}

namespace {

// Words separated by any of blank, tab, ";", "," or a line break; runs of them make no empty
// words. A list read from the alias file or typed by the user may mix these freely.
std::vector<std::string> splitWords(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == ';' || c == ',' || c == '\r' || c == '\n') {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

} // namespace

void AddToAliasList(std::string& list, const std::string& newText) {
    // Only the words held before this merge are compared, so a word given twice and new to
    // the list goes in twice.
    std::unordered_set<std::string> held;
    for (const auto& w : splitWords(list))
        held.insert(UCase(w));
    for (const auto& word : splitWords(newText)) {
        const std::string w = UCase(word);
        if (held.count(w) != 0) continue;
        list += ' ';
        list += w;
    }
}

Long CleanNameChars(std::string& name) {
    Long count = 0;
    std::string cleaned = name;
    for (char& c : cleaned) {
        const bool keep = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                          (c >= 'a' && c <= 'z') || c == '-' || c == '_' || c == ' ';
        if (!keep) {
            c = '_';
            ++count;
        }
    }
    if (count > 0) name = cleaned;
    return count;
}
