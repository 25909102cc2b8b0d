#pragma once

#include <functional>
#include <string>
#include <vector>

#include "document/abc.h"

namespace morvane {

/// Visits every line of doc's last BuildHtmlLines(list) in order: the lines it set aside in its
/// scratch file first, then those left in list. Throws EFileError when the scratch file cannot
/// be read.
void ForEachTableLine(const Tabc& doc, const std::vector<std::string>& list,
                      const std::function<void(const std::string& line)>& visit);

}  // namespace morvane
