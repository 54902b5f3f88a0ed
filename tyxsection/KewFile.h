#pragma once
// KEW files: colour keys kept per variable in an XML document beside the dataset.
//
//   <?xml version="1.0"?><section><variable name="temp"><division><low>0</low>
//   <high>3</high><color>12386304</color></division>...</variable>...</section>
//
// (written without whitespace between the elements). Bounds are written as plain decimal text
// with "." (exponent form for very large or small ones), colours as Long RGB. Variables are
// found by comparing their name attribute with the name, never by a query made from it, so
// any name works, quotes included. Every write replaces the file whole or not at all.
#include "runtime/Types.h"
#include "tyxsection/TyxModel.h"

#include <functional>
#include <string>
#include <vector>

// The KEW file of the dataset: the dataset's path with the extension "KEW"; for a dataset
// opened by URL, a file in the folder of the host's settings file (beside the program when the
// host named none) whose name is made from the URL.
std::string KewPathOf(const std::string& dataset, const std::string& settingsFile);
// The same for the control's dataset.
std::string KewPathOf(const TyxModel& m);

// Reads the divisions of variable varName from KEW file path into key: true with key filled
// (count and arrays); false, key untouched, when the file is missing or has no variable of
// that name. A file that is no readable XML, or a division without low, high or color, raises
// a RuntimeError; key is untouched then too.
bool ReadKewKey(const std::string& path, const std::string& varName, ColorKeyRec& key);
// The names of the file's variable elements in document order, repeats included; none for a
// missing file or one that is no XML. A variable element without a name raises error 91.
std::vector<std::string> KewVariableNames(const std::string& path);

// The current item's key from KEW file filename into the key's arrays: the number of divisions
// read, or -1 when the file or the item has no such key (quietly) or cannot be read (shown in
// the control's error box). The count is the caller's to set.
Long GetKewCol(TyxModel& m, const std::string& filename);
// KewFile: the current item's key read from KEW file filename into the control's key; 1, or -1
// with the division count then -1. A file without the item's key leaves no message; one that
// cannot be read is shown in a box.
Long KewFile(TyxModel& m, const std::string& filename);
// Writes the current item's key to the dataset's KEW file: a new file with that one variable,
// or, when the file exists, the variable replaced or added (SaveExistingKew). A failure is
// shown in the control's error box and leaves the file as it was.
void SaveKEW(TyxModel& m);
// Replaces the key of varName in the existing KEW file path, or adds it; the variable moves to
// the end of the file, the other variables stay. Raises a RuntimeError on failure (the file
// stays as it was).
void SaveExistingKew(const std::string& path, const std::string& varName, const ColorKeyRec& key);

// The control's error box: "Error n: description", the caption on the next line, titled
// "Error creating section view".
void ShowErrorBox(const std::string& caption, int number, const std::string& description);

// InitColorKey's work: when the control holds no key (no division, or a failed read), the
// current item's key from KEW file filename, else from the dataset's own KEW file, or else ten
// divisions of equal width over the item's display range in random colours, written to the
// dataset's KEW file only when that file holds no key of the item; either way the key then
// colours the drawing. readItem is called before a key is made, so that the item's display
// range is known; without a range (no valid value read) no key is made and ErrorMessage says
// so. A key whose divisions span nothing counts as none. A failure is shown in a box titled
// "InitColorKey".
void ProvideColorKey(TyxModel& m, const std::string& filename,
                     const std::function<void()>& readItem);
