#include "viewer/export/SideFormat.h"

#include "common/Ui.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "viewer/export/SubsetDescription.h"
#include "viewer/map/ReadWindow.h"
#include "viewer/map/VectorStages.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr const char* kCrLf = "\r\n";
// Blocks of about this size go to the file at once.
constexpr std::size_t kBlock = 1 << 20;

IKelvad& dataset() {
    if (!Data.clsNC) throw RuntimeError(err::ObjectNotSet);
    return *Data.clsNC;
}

} // namespace

float CentimetreFactor(const PickItem& pick) {
    return IsCentimetreUnit(dataset().variUnit(pick.varNumber, pick.datasetIndex)) ? 0.01f : 1.0f;
}

Long DescribedDim(const SubsetDescription& sd, Long id) {
    if (id < 0) return 0;
    for (Long d = 1; d <= sd.rank(); ++d)
        if (sd.dimIds(d) == id) return d;
    return 0;
}

DescribedWindow WindowOf(const SubsetDescription& sd, bool oneStep) {
    IKelvad& nc = dataset();
    DescribedWindow w;
    w.start = sd.startSub;
    w.count = sd.countSub;
    w.step = sd.strideSub;
    w.timePos = nc.nTime(1) > 0 ? DescribedDim(sd, nc.TimedId(1)) : 0;
    if (oneStep && w.timePos > 0) w.count(w.timePos) = 1;
    const Long levelPos = nc.kMax(1) > 0 ? DescribedDim(sd, nc.LeveldId(1)) : 0;
    if (levelPos > 0) {
        w.start(levelPos) = std::max(Data.CurLevel, Long{1});
        w.count(levelPos) = 1;
        w.step(levelPos) = 1;
    }
    w.total = sd.rank() > 0 ? 1 : 0;
    for (Long d = 1; d <= sd.rank(); ++d)
        w.total *= w.count(d);
    return w;
}

bool ReadPick(const PickItem& pick, VArray<float>& values, const VArray<Long>& start,
              const VArray<Long>& count, const VArray<Long>& step, Long total) {
    const Variant r = dataset().GetVarsAny(pick.varNumber, NoVal, values, start, count, step, total,
                                           pick.datasetIndex);
    return !r.IsEmpty() && r.toLong() >= 0;
}

std::string SignedField(float value, const char* posMask, const char* negMask) {
    if (value >= 0) return Format(value, posMask);
    return Format(std::fabs(value), negMask);
}

void Refuse(const std::string& text, const std::string& title, int style) {
    throw Refusal{text, title, style};
}

void ShowRefusal(const Refusal& r) {
    ui().MsgBox(r.text, r.style, r.title);
}

Refusal ErrorReport(const std::string& who, Long number, const std::string& description) {
    return Refusal{"Error message (number " + CStr(number) + ")is:" + kCrLf + kCrLf + "\"" +
                       description + "\"",
                   who, kOkOnly};
}

bool PicksFitDescription(const SubsetDescription& sd) {
    if (sd.picks.empty()) throw RuntimeError(err::InvalidCall);
    if (!PicksShareDimensions(sd.picks)) return false;
    std::vector<Long> ids;
    std::string why;
    PickDimsInMain(sd.picks.front(), ids, why);
    if (ids != std::vector<Long>(sd.dimIds.data(), sd.dimIds.data() + sd.rank()))
        throw RuntimeError(err::InvalidCall);
    return true;
}

void ShowFileMade(const std::string& path) {
    ui().MsgBox(std::string("File made:") + kCrLf + kCrLf + "file   : " + path, kOkOnly,
                kProgramTitle);
}

int SafeTextFile::Line(const std::string& text) {
    block_.append(text);
    block_.append(kCrLf);
    return block_.size() >= kBlock ? flush() : 0;
}

int SafeTextFile::flush() {
    if (block_.empty()) return 0;
    const int e = out_.File().WriteAt(written_, block_.data(), block_.size());
    written_ += static_cast<std::int64_t>(block_.size());
    block_.clear();
    return e;
}

int SafeTextFile::Commit() {
    if (const int e = flush()) return e;
    return out_.Commit();
}
