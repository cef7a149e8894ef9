#include "print/PrintHeader.h"

#include "print/PrintJob.h"
#include "text/TextHelpers.h"

namespace tabulix {

namespace {

// "File.Name:  /home/a/b.csv" keeps "File.Name:" and gives " b.csv". Both
// kinds of folder separator end a folder, so paths of either system work.
std::string withFileNameOnly(const std::string& line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) return line;
    const std::string rest = line.substr(colon + 1);
    const std::size_t cut = rest.find_last_of("\\:/");
    const std::string name = cut == std::string::npos ? rest : rest.substr(cut + 1);
    return line.substr(0, colon + 1) + " " + std::string(TrimBlanks(name));
}

} // namespace

std::array<std::string, 4> HeaderTitleLines(const PrintJob& job, const PrintSettings& settings) {
    if (job.mainWindowMode && !settings.printFileName && !settings.printPathName) return {};
    std::array<std::string, 4> lines = job.titleLines;
    if (job.mainWindowMode && settings.printFileName) lines[0] = withFileNameOnly(lines[0]);
    return lines;
}

std::string HeaderDateLine(const PrintJob& job, const PrintSettings& settings,
                           const std::string& date, const std::string& time, int page,
                           int pageCount) {
    const std::string stamp = "   " + date + "  " + time;
    const std::string caption = "PAGE  " + std::to_string(page) + " / " + std::to_string(pageCount);
    if (!job.mainWindowMode) return stamp + "    " + caption;
    std::string line = settings.printDate ? stamp : std::string();
    if (settings.printPage) line += "    " + caption;
    return line;
}

} // namespace tabulix
