#include "viewer/export/ToTimeSerText.h"

#include "common/Ui.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"
#include "viewer/export/SafeOutput.h"
#include "viewer/export/SideFormat.h"
#include "viewer/export/SubsetDescription.h"

#include <vector>

namespace {

constexpr const char* kWho = "To_TimeSerText";
constexpr const char* kCrLf = "\r\n";

std::vector<std::string> gather(IKelvad& nc, const SubsetDescription& sd) {
    std::vector<std::string> lines;
    lines.push_back(nc.FName(1));
    lines.push_back(Str(PositionDegrees(Data.lonV(1))) + " =lon");
    lines.push_back(Str(PositionDegrees(Data.latV(1))) + " =lat");
    std::string names = "Year Mo Dy Hr Mn ", units = names;
    for (const PickItem& p : sd.picks) {
        names += nc.variName(p.varNumber, p.datasetIndex) + "     ";
        units += nc.variUnit(p.varNumber, p.datasetIndex) + "     ";
    }
    lines.push_back(names);
    lines.push_back(units);
    const Long steps = nc.nTime(1);
    for (Long k = 1; k <= steps; ++k)
        lines.push_back(nc.DatePicked(k, 1));
    return lines;
}

} // namespace

Long To_TimeSerText(SaveTarget target, const SubsetDescription& sd) {
    return RunSideWriter(kWho, target, [&](IKelvad& nc) {
        Hourglass busy;
        std::vector<std::string> lines;
        try {
            lines = gather(nc, sd);
        } catch (const RuntimeError& e) {
            Refuse("Error(" + Str(Long{e.number()}) + "):" + kCrLf + kCrLf + "\"" +
                       e.description() + "\"",
                   "To_Cir");
        }
        SafeTextFile out;
        auto check = [&](int e) {
            if (e != 0) Refuse(SafeOutput::FailureText(kWho, target.Path(), e));
        };
        check(out.Open(target));
        for (const std::string& line : lines)
            check(out.Line(line));
        check(out.Commit());
        return true;
    });
}
