#pragma once
// Names and alias lists: matching a name against a list, merging words into a list, type
// names, and cleaning names read from a netCDF header.
#include "runtime/Types.h"
#include <string>
#include <unordered_set>

// True when name equals one whole word of list, letter case aside. An empty list gives False.
bool InAliasList(const std::string& name, const std::string& list);

// The words of an alias list split once, for testing many names against it: contains(name) is
// InAliasList(name, list) without splitting the list again for each name.
class AliasWords {
public:
    explicit AliasWords(const std::string& list);
    bool contains(const std::string& name) const;

private:
    std::unordered_set<std::string> upper_; // the words, upper-cased
};

// The name of a netCDF external type code with one trailing blank ("double "); "???" for any
// other code.
std::string NcTypeName(Long code);

// Appends to list, upper-cased and after one blank, each word of newText that the list did not
// hold before the call (letter case aside). The words of newText are split on blanks, tabs,
// ";" and "," (and line breaks), so "x_lon, nav_lon" gives two words. Nothing is removed.
void AddToAliasList(std::string& list, const std::string& newText);

// Replaces every character other than a digit, an ASCII letter, "-", "_" or a blank by "_".
// Returns how many were replaced.
Long CleanNameChars(std::string& name);
