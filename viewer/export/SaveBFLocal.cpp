#include "viewer/export/SaveBFLocal.h"

#include "viewer/export/SubsetWriter.h"

Long SaveBFLocal(SaveTarget target, const SubsetDescription& sd) {
    return WriteSubsetFile(std::move(target), sd, SubsetWriter::Flavour{"SaveBFLocal", true});
}
