#pragma once
// What the side-format writers (CIR binary, vector text, GMT point text, time-series text)
// share: the centimetre test of a pick's unit, the place of an axis among the described
// dimensions, the reads of a pick with their status checked, the signed text fields, the
// "File made:" box, and a text file written whole or not at all.
#include "runtime/RuntimeError.h"
#include "runtime/Types.h"
#include "runtime/VArray.h"
#include "viewer/export/SafeOutput.h"
#include "viewer/map/SharedState.h"

#include <optional>
#include <string>

class IKelvad;
struct SubsetDescription;

// 0.01 when the unit text of pick (in its own dataset) is in centimetres (IsCentimetreUnit):
// centimetres per second are written as metres per second. Otherwise 1.
float CentimetreFactor(const PickItem& pick);

// The place d (1-based) of the first described dimension that is dimension id of the main
// dataset; 0 when none is (or id is below 0).
Long DescribedDim(const SubsetDescription& sd, Long id);

// The read window of a description: its starts, counts and steps, with the level dimension
// (if any) at the current level and, when oneStep, the time dimension at one step; timePos the
// time dimension's place (0 when none) and total the number of values (0 without dimensions).
struct DescribedWindow {
    VArray<Long> start, count, step;
    Long timePos = 0;
    int64_t total = 0;
};
DescribedWindow WindowOf(const SubsetDescription& sd, bool oneStep);

// A window of the pick read through the dataset object into values (NoVal for missing ones):
// true when the read succeeded (its count of valid values may be 0).
bool ReadPick(const PickItem& pick, VArray<float>& values, const VArray<Long>& start,
              const VArray<Long>& count, const VArray<Long>& step, Long total);

// value through posMask when it is 0 or more, else its size through negMask (which carries the
// sign): the sign comes from the value, never from the rounded text.
std::string SignedField(float value, const char* posMask, const char* negMask);

// A refusal or failure of a writer, thrown by Refuse: its box is shown (ShowRefusal) once the
// busy pointer is off.
struct Refusal {
    std::string text;
    std::string title = kProgramTitle;
    int style = 0; // OK only
};
[[noreturn]] void Refuse(const std::string& text, const std::string& title = kProgramTitle,
                         int style = 0);
void ShowRefusal(const Refusal& r);

// A run-time failure of writer who: "Error message (number n)is:" and the description in
// quotes, in a box titled who.
Refusal ErrorReport(const std::string& who, Long number, const std::string& description);

// True when every pick of the description lies over the first pick's dimensions; false after
// the refusal's message. RuntimeError(5) for a description without picks or whose dimensions
// are not its first pick's.
bool PicksFitDescription(const SubsetDescription& sd);

// The box (OK, the program's title) saying path is written.
void ShowFileMade(const std::string& path);

// Runs the body of writer who for target: a target that is one of the open datasets is refused
// first (SaveTarget::Claim); a Refusal or run-time failure thrown by the body is shown after the
// body (and its busy pointer) has ended. 1 and the "File made:" box when the body returns true;
// -1 otherwise (a body returning false has given its own message).
template <class Body> Long RunSideWriter(const std::string& who, SaveTarget& target, Body&& body) {
    if (Data.clsNC == nullptr || !target.Claim(who)) return -1;
    std::optional<Refusal> refusal;
    try {
        if (!body(*Data.clsNC)) return -1;
    } catch (const Refusal& r) {
        refusal = r;
    } catch (const RuntimeError& e) {
        // A full disk says nothing of which one: the target is named.
        refusal = e.number() == err::DiskFull
                      ? Refusal{SafeOutput::FailureText(who, target.Path(), e.number()), who}
                      : ErrorReport(who, e.number(), e.description());
    }
    if (refusal) {
        ShowRefusal(*refusal);
        return -1;
    }
    ShowFileMade(target.Path());
    return 1;
}

// A text file of CR LF lines, gathered in blocks and written through SafeOutput: the target is
// replaced only by Commit, once every block and the close succeeded.
class SafeTextFile {
public:
    // 0 or the run-time error number of the failure.
    int Open(const SaveTarget& target) { return out_.Open(target); }
    // Appends text and CR LF; 0 or the error number of a block that could not be written (the
    // temporary is then gone).
    int Line(const std::string& text);
    // Writes what is gathered, then renames the file over the target: 0 or the error number.
    int Commit();
    void Abandon() { out_.Abandon(); }

private:
    int flush();

    SafeOutput out_;
    std::string block_;
    std::int64_t written_ = 0;
};
