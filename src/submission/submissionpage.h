#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "document/abc.h"
#include "submission/sendvalues.h"

namespace morvane {

/// Characters 2 to 15 of line, then value, then characters 16 onwards: the selector letter goes
/// and the value lands after the fourteen characters that follow it.
std::string SubstituteLine(std::string_view line, std::string_view value);

/// The s action: builds doc's table into list and appends all its lines to page, each ended by
/// CR LF. Throws EFileError when the table's scratch file cannot be written or read.
void WriteTableLines(Tabc& doc, std::vector<std::string>& list, std::string& page);

/// The i action: appends the lines of the last WriteTableLines to page, each escaped for an
/// attribute value. Throws EFileError as WriteTableLines.
void WriteEscapedTableLines(const Tabc& doc, const std::vector<std::string>& list,
                            std::string& page);

/// The submission page made from a template: each template line acts by its first character
/// ("a" to "w", anything else copied) until an "e" line or the end of the template.
std::string FillSubmissionPage(std::string_view templateText, const TSendValues& values, Tabc& doc);

/// Reads the template at templatePath and writes the filled page to pagePath; throws EFileError
/// naming the file that failed.
void WriteSubmissionPage(const std::string& templatePath, const std::string& pagePath,
                         const TSendValues& values, Tabc& doc);

}  // namespace morvane
