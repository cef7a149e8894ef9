#pragma once

#include <array>
#include <string>

namespace tabulix {

struct PrintJob;
struct PrintSettings;

// The header's title lines: the job's lines when they are to be shown (with
// PrintFileName, line 1 keeps its label and only the file's name), else four
// empty lines.
std::array<std::string, 4> HeaderTitleLines(const PrintJob& job, const PrintSettings& settings);

// The date line of page `page` of `pageCount`; `date` is "YYYY/MM/DD" and
// `time` "HH:NN:SS", taken when the preview is shown and when printing starts.
std::string HeaderDateLine(const PrintJob& job, const PrintSettings& settings,
                           const std::string& date, const std::string& time, int page,
                           int pageCount);

} // namespace tabulix
