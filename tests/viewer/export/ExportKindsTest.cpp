// The export layer's table of grid kinds: what each kind gets of the save formats, the subset
// netCDF writer and the vector text, and what a type the table does not know gets.
#include "viewer/export/ExportKinds.h"
#include "kelvadlib/IKelvad.h"
#include "viewer/export/SaveFlow.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string text(const char* s) {
    return s != nullptr ? s : "(none)";
}

TEST(ExportKindsTest, EachKindChoosesItsFormatsAndWriters) {
    struct Case {
        Long gridType;
        std::string formats; // the ids of the formats the menu may save in, in its order
        bool subsetWriter;   // "as Original Nc" has a writer in the source's structure
        bool appendable;
        std::string textRefusal;
        std::string subsetRefusal;
    };
    const std::string unknownText = "[to_txt] Unknown GridType:";
    const std::string meshSubset = "[SubSetNcDomain] not ready for fe mesh type";
    const Case cases[] = {
        {kGridNone, "46", false, true, unknownText, "(none)"},
        {kGridCells, "1246", true, true, "[to_txt] GridType case = 1 not ready", "(none)"},
        {kGridRegular, "12346", true, true, "[to_txt] GridType case = 2 not ready", "(none)"},
        {kGridBfg, "1456", true, false, "(none)", "(none)"},
        {kGridFeMesh, "46", false, true, "[to_txt] GridType case = 4 not ready", meshSubset},
        {kGridGmt, "1456", true, true, "[to_txt] GridType case = 5 not ready", "(none)"},
        {kGridFvMesh, "46", false, true, "[to_txt] GridType case = 4 not ready", meshSubset},
        {7, "46", false, true, unknownText, "(none)"},
        {-1, "46", false, true, unknownText, "(none)"},
    };
    const SaveFormat* subsetNc = FindSaveFormat(kSaveSubsetNc);
    ASSERT_NE(subsetNc, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gridType);
        std::string formats;
        for (const SaveFormat& format : SaveFormats())
            if (SaveFormatAvailable(format.id, c.gridType)) formats += std::to_string(format.id);
        EXPECT_EQ(formats, c.formats);
        const ExportKind& kind = ExportKindOf(c.gridType);
        EXPECT_EQ(kind.subsetNc, c.subsetWriter);
        EXPECT_EQ(subsetNc->appendable(kind), c.appendable);
        EXPECT_EQ(text(kind.textRefusal), c.textRefusal);
        EXPECT_EQ(text(kind.subsetRefusal), c.subsetRefusal);
        // Only a kind whose description takes its cuts has positions to take.
        if (!kind.subsetCuts) {
            EXPECT_EQ(kind.lonCount, nullptr);
            EXPECT_FALSE(kind.wholeGrid || kind.lonLatAxes || kind.gmtLayout);
        }
    }
    EXPECT_EQ(&ExportKindOf(7), &ExportKindOf(kGridNone));
}

} // namespace
