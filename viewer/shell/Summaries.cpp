#include "viewer/shell/Summaries.h"

#include "common/Ui.h"
#include "kelvadlib/IKelvad.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "viewer/map/SharedState.h"

#include <QPlainTextEdit>
#include <QString>

namespace {

// Every entry of every summary ends so.
constexpr const char* kEntryEnd = "\r\r\n";

// " 3: ", "12: ", "123: ".
std::string VariableNumberText(Long v) {
    std::string n = CStr(v);
    if (n.size() < 2) n = " " + n;
    return n + ": ";
}

enum class DimList { Last, All };

// The entries of the variables of one kind; "" when none qualifies.
std::string KindSummary(Long nNc, Long kind, DimList dims, std::string (*sizeText)(float)) {
    if (Data.clsNC == nullptr) return {};
    std::string text;
    const Long n = Data.clsNC->nVars(nNc);
    for (Long v = 1; v <= n; ++v) {
        if (Data.clsNC->variKind(v, nNc) != kind) continue;
        text += VariableNumberText(v);
        text += Data.clsNC->StrType(Data.clsNC->variType(v, nNc));
        text += Data.clsNC->variName(v, nNc) + "(";
        const Long rank = Data.clsNC->variNarray(v, nNc);
        if (dims == DimList::Last) {
            if (rank > 0) text += Data.clsNC->variArrayDimName(v, rank, nNc);
        } else {
            for (Long d = 1; d <= rank; ++d) {
                if (d > 1) text += ", ";
                text += Data.clsNC->variArrayDimName(v, d, nNc);
            }
        }
        text += ")";
        text += sizeText(static_cast<float>(Data.clsNC->variByteSize(v, nNc)));
        text += kEntryEnd;
    }
    return text;
}

void PutSummary(QPlainTextEdit* txt, const std::string& text) {
    if (txt != nullptr) {
        // A plain-text box breaks the line at CR as well as at LF; one break per entry.
        txt->setPlainText(QString::fromStdString(Replace(text, "\r", "")));
    }
    ui().DoEvents();
}

} // namespace

std::string FixedSizeText(float bytes) {
    if (bytes < 1000) return Format(bytes, " #0bytes");
    const float k = bytes / 1000;
    if (k < 1000) return Format(k, " #0.00K");
    return Format(k / 1000, " #0.0M");
}

std::string RecordSizeText(float bytes) {
    const float k = bytes / 1000;
    if (k < 1000) return Format(k, " #0.00K");
    const float m = k / 1000;
    if (m < 1000) return Format(m, " #0.0M");
    return Format(m / 1000, " #0.0Tra");
}

std::string DimensionsSummary(Long nNc) {
    if (Data.clsNC == nullptr) return {};
    std::string text;
    const Long n = Data.clsNC->nDimes(nNc);
    const Long lonId = Data.clsNC->LondId(nNc);
    const Long latId = Data.clsNC->LatdId(nNc);
    const Long timeId = Data.clsNC->TimedId(nNc);
    for (Long d = 1; d <= n; ++d) {
        text += Data.clsNC->dimeName(d, nNc) + " =" + Str(Data.clsNC->dimeSize(d, nNc));
        const Long id = d - 1;
        if (id == lonId) {
            text += "  (dLon=" + Str(Data.clsNC->dLon(nNc)) + ")";
        } else if (id == latId) {
            text += "  (dLat=" + Str(Data.clsNC->dLat(nNc)) + ")";
        } else if (id == timeId) {
            text += "  (dT=" + Str(static_cast<double>(Data.clsNC->dTimeSec(nNc)) / 60) + "min)";
        }
        text += kEntryEnd;
    }
    return text;
}

std::string VariablesSummary(Long nNc) {
    return KindSummary(nNc, 1, DimList::Last, FixedSizeText);
}

std::string FixedVariablesSummary(Long nNc) {
    const std::string text = KindSummary(nNc, 2, DimList::All, FixedSizeText);
    return text.empty() ? "(No fixed variable exists)" : text;
}

std::string RecordVariablesSummary(Long nNc) {
    const std::string text = KindSummary(nNc, 3, DimList::All, RecordSizeText);
    return text.empty() ? "(No record variable exists)" : text;
}

std::string ExtraVariablesSummary(Long nNc) {
    const std::string text = KindSummary(nNc, 3, DimList::All, RecordSizeText);
    return text.empty() ? "(No extra variable exists)" : text;
}

void ListDimensions(QPlainTextEdit* txt, Long nNc) {
    PutSummary(txt, DimensionsSummary(nNc));
}

void ListVariables(QPlainTextEdit* txt, Long nNc) {
    PutSummary(txt, VariablesSummary(nNc));
}

void ListFixedVariables(QPlainTextEdit* txt, Long nNc) {
    PutSummary(txt, FixedVariablesSummary(nNc));
}

void ListRecordVariables(QPlainTextEdit* txt, Long nNc) {
    PutSummary(txt, RecordVariablesSummary(nNc));
}

void ListExtraVariables(QPlainTextEdit* txt, Long nNc) {
    PutSummary(txt, ExtraVariablesSummary(nNc));
}
