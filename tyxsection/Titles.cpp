#include "tyxsection/Titles.h"
#include "runtime/Strings.h"
#include "tyxsection/ocxNetNc.h"

Long MakeTitles(TyxModel& m, Long nvar, Long timeIndex) {
    TyxMainState& main = m.main;
    const OcxNcf& ncf = m.reader;
    VArray<std::string> titles(1, 4);
    titles(1) = GetFileTitle(main.NcFileName);
    // A dataset without a time axis has no date to show.
    if (main.geo.nTime >= 1)
        titles(2) =
            CalendarDateText(ncf.calendar, ocxGetDate(ncf, main.geo, timeIndex, m.ErrorMessage));
    titles(3) = ocxGetAttVal(ncf, "", "title");
    const OcxVari& v = ncf.vari(nvar);
    titles(4) = Trim(v.longName) + " [" + Trim(v.unit) + "]";
    main.Titles = std::move(titles);
    main.nTitles = 4;
    return main.nTitles;
}

std::string GetFileTitle(const std::string& path) {
    if (Trim(path).empty()) return "";
    const std::size_t at = path.find_last_of("\\/");
    return at == std::string::npos ? path : path.substr(at + 1);
}
