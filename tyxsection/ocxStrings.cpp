#include "tyxsection/ocxStrings.h"
#include "runtime/Strings.h"

std::string StripExt(const std::string& path) {
    const std::string trimmed = Trim(path);
    const auto sep = trimmed.find_last_of("\\/");
    const auto dot = trimmed.rfind('.');
    if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return trimmed;
    return RTrim(trimmed.substr(0, dot));
}

void ChangeExt(std::string& path, const std::string& ext) {
    path = StripExt(path) + "." + Trim(ext);
}
