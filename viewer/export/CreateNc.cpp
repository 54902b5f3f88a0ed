#include "viewer/export/CreateNc.h"

#include "common/Ui.h"
#include "kelvadlib/IKelvad.h"
#include "viewer/export/ExportKinds.h"
#include "viewer/export/SubsetWriter.h"
#include "viewer/map/SharedState.h"

Long CreateNc(SaveTarget target, const SubsetDescription& sd) {
    return WriteSubsetFile(std::move(target), sd, SubsetWriter::Flavour{"CreateNc", false}, [] {
        IKelvad& nc = *Data.clsNC;
        if (nc.nCelldId(1) < 0 && nc.LondId(1) < 0 && nc.LatdId(1) < 0 &&
            !ExportKindOf(nc.GridType(1)).gmtLayout)
            ui().MsgBox("[CreateNc] clsNC.ncelldId & < 0 And clsNC.londId  < 0 And "
                        "clsNC.latdId  < 0",
                        kOkOnly, kProgramTitle);
    });
}
