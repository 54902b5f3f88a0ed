#include "viewer/export/ExportHost.h"

#include "common/Ui.h"
#include "viewer/map/Options.h"

namespace {

ExportHost* installed = nullptr;

} // namespace

const MemoryExportHost::Row& MemoryExportHost::row(Long d) const {
    static const Row none;
    if (d < 1 || d > SubsetRows()) return none;
    return rows[static_cast<std::size_t>(d - 1)];
}

void MemoryExportHost::SetRow(Long d, const std::string& start, const std::string& end,
                              const std::string& step, const std::string& count) {
    if (d < 1 || d > SubsetRows()) return;
    rows[static_cast<std::size_t>(d - 1)] = Row{start, end, step, count};
}

Long MemoryExportHost::AskShortMsg(const std::string& caption, const std::string& text,
                                   const std::string& button1, const std::string& button2,
                                   const std::string& button3) {
    SetShortMsgAnswer(0);
    const int answer = ui().ShortMsg(caption, text, button1, button2, button3);
    if (answer == kYes || answer == kNo || answer == kCancel) SetShortMsgAnswer(answer);
    return Opt.ShortMsgAnswer;
}

MemoryExportHost& defaultExportHost() {
    static MemoryExportHost host;
    return host;
}

ExportHost& exportHost() {
    return installed ? *installed : defaultExportHost();
}

ExportHost* setExportHost(ExportHost* host) {
    ExportHost* before = installed;
    installed = host;
    return before;
}
