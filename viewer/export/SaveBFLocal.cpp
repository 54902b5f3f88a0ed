#include "viewer/export/SaveBFLocal.h"

#include "viewer/export/SubsetWriter.h"

Long SaveBFLocal(const std::string& path, const SubsetDescription& sd) {
    return WriteSubsetFile(path, sd, SubsetWriter::Flavour{"SaveBFLocal", true});
}
