#include "print/PrintExport.h"

#include "csv/CsvDialogRequests.h"
#include "csv/FileWriting.h"
#include "draw/DisplayText.h"
#include "print/PrintData.h"
#include "print/PrintHeader.h"
#include "settings/InstalledProgram.h"
#include "text/TextHelpers.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace tabulix {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kCrLf = "\r\n";
constexpr int kHeadingEvery = 20;

struct Proposal {
    std::string folder;
    std::string name;
    std::string extension;
};

Proposal propose(std::string_view stored, std::string_view savePath, std::string_view programFolder,
                 const std::string& defaultExtension, bool keepSaveExtension) {
    const fs::path own{std::string(TrimBlanks(stored))};
    if (!own.empty())
        return {own.parent_path().string(), own.filename().string(), own.extension().string()};
    const fs::path last{std::string(TrimBlanks(savePath))};
    Proposal p{last.parent_path().string(), {}, keepSaveExtension ? last.extension().string() : ""};
    if (p.folder.empty()) p.folder = std::string(programFolder);
    if (p.extension.empty()) p.extension = defaultExtension;
    p.name = "*" + p.extension;
    return p;
}

FileDialogRequest request(std::string title, const Proposal& p, const char* filters) {
    std::string list;
    if (!p.extension.empty() && p.extension != ".")
        list = "(*" + p.extension + ")|*" + p.extension + "|";
    list += filters;
    const std::string suffix = p.extension.size() > 1 ? p.extension.substr(1) : std::string();
    return FileDialogRequest{std::move(title), QtNameFilters(list), p.folder, p.name, suffix};
}

void csvCell(std::string& out, std::string_view text) {
    if (text.find_first_of(",\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (const char ch : text) {
        if (ch == '"') out += '"';
        out += ch;
    }
    out += '"';
}

// Builds the page line by line; every line ends with CR LF.
class HtmlPage {
public:
    explicit HtmlPage(const PrintData& data) : data_(data), grid_(data.grid()) {}
    std::string make();

private:
    void line(std::string_view text) {
        out_ += text;
        out_ += kCrLf;
    }
    void head();
    void styles();
    void titles();
    void tableBody();
    void textBody();
    void row(int r);
    std::string cellText(int c, int r) const;
    std::string_view opening(int c, int r) const;
    bool rowEmpty(int r) const;

    const PrintData& data_;
    const StringGrid& grid_;
    std::string out_;
};

std::string HtmlPage::make() {
    head();
    titles();
    line("</SPAN>");
    line("<BR><BR>");
    if (data_.job().tableMode)
        tableBody();
    else
        textBody();
    line("");
    line("</TABLE>");
    line("");
    line("</BODY>");
    line("</HTML>");
    return std::move(out_);
}

void HtmlPage::head() {
    line("<HTML></HEAD><TITLE> </TITLE></HEAD>");
    line("<META http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">");
    line("<STYLE type=text/css>");
    line("<!--");
    line("");
    styles();
    line("-->");
    line("</STYLE>");
    line("");
    line("<BODY BGCOLOR=#5F5F5F Text=Black Link=White VLink=White ALink=LightSkyBlue>");
    line("");
    line("<TABLE border=1 CELLSPACING=0 CELLPADDING=8>");
    line("");
    line("<SPAN style=\"color=White; font-size:12pt; font-weight:bold\">");
}

// Ten classes: headings, fixed cells, ordinary cells in three shades each
// aligned left or centred, and the filler of the last column.
void HtmlPage::styles() {
    const std::string_view common[] = {"  font-family:ＭＳ Ｐゴシック;", "  font-size:10pt;"};
    constexpr std::string_view white = "  color:White;", black = "  color:Black;";
    constexpr std::string_view gray = "  background-color:Gray;";
    constexpr std::string_view silver = "  background-color:#C0C0C0;";
    constexpr std::string_view dark = "  background-color:#B0B0B0;";
    struct Block {
        std::string_view name, colour, back, align;
        bool outset;
    };
    static constexpr Block blocks[] = {
        {"TD.Title {", white, gray, "  text-align:center;", true},
        {"TD.FixedsLeft {", white, gray, "  text-align:Left;", true},
        {"TD.FixedsCenter {", white, gray, "  text-align:Center;", true},
        {"TD.CellsLeftSilver {", black, silver, "  text-align:Left;", false},
        {"TD.CellsLeftDark {", black, dark, "  text-align:Left;", false},
        {"TD.CellsLeftBlack {", white, gray, "  text-align:Left;", false},
        {"TD.CellsCenterSilver {", black, silver, "  text-align:Center;", false},
        {"TD.CellsCenterDark {", black, dark, "  text-align:Center;", false},
        {"TD.CellsCenterBlack {", white, gray, "  text-align:Center;", false},
    };
    for (const Block& b : blocks) {
        line(b.name);
        for (std::string_view l : common) line(l);
        line(b.colour);
        line(b.back);
        line("  vertical-align:top;");
        line(b.align);
        line("  padding-bottom:30px");
        line("  border-width:1px;");
        line(b.outset ? "  border-style:outset;" : "  border-style:inset;");
        line(b.outset ? "  border-color:white;" : "  border-color:Silver;");
        line("}");
        line("");
    }
    line("TD.BottomBar {");
    for (std::string_view l : common) line(l);
    line(white);
    line(gray);
    line("  border-width:1px;");
    line("  border-style:outset;");
    line("  border-color:white;");
    line("  width: 0px;");
    line("  height: 0px;");
    line("}");
}

void HtmlPage::titles() {
    for (const std::string& title : HeaderTitleLines(data_.job(), data_.settings()))
        if (!title.empty()) line("  " + HtmlEscape(title) + "<BR>");
}

// The heading rows are recorded as they are written and written again after
// every 20 data rows and after the last one, never twice in a row.
void HtmlPage::tableBody() {
    std::string record;
    int dataRows = 0;
    bool headingJustWritten = false;
    for (int r = 0; r < grid_.rowCount(); ++r) {
        if (data_.rowInfo(r).height <= 0) continue;
        line("");
        const std::size_t start = out_.size();
        row(r);
        if (r < grid_.fixedRows()) {
            record.append(out_, start, std::string::npos);
            continue;
        }
        headingJustWritten = false;
        if (++dataRows % kHeadingEvery == 0) {
            out_ += record;
            headingJustWritten = true;
        }
    }
    if (!headingJustWritten && dataRows > 0) out_ += record;
}

void HtmlPage::row(int r) {
    line("<TR>");
    for (int c = 0; c < grid_.colCount(); ++c)
        if (data_.colWidth(c) > 0) line(std::string(opening(c, r)) + cellText(c, r) + "</TD>");
    if (grid_.fixedCols() > 0) line("  <TD Class=FixedsLeft nowrap>　</TD>");
    line("</TR>");
}

void HtmlPage::textBody() {
    int columns = 0;
    for (int c = 0; c < grid_.colCount(); ++c)
        if (data_.colWidth(c) > 0) ++columns;
    if (grid_.fixedCols() > 0) ++columns;
    std::string cell = "<TD Class=CellsLeftSilver nowrap ColSpan=" +
                       std::to_string(std::max(1, columns)) + ">\r\n<PRE>";
    for (int r = 0; r < grid_.rowCount(); ++r) {
        cell += kCrLf;
        for (int c = 0; c < grid_.colCount(); ++c) cell += HtmlEscape(grid_.cell(c, r));
    }
    cell += "\r\n</PRE>\r\n</TD>";
    line(cell);
}

// Cut as the printed cell is, each slice escaped, joined by line breaks.
std::string HtmlPage::cellText(int c, int r) const {
    const int n = std::max(1, data_.colWidth(c) / std::max(1, data_.metrics().charWidth));
    const int maxLines = data_.job().maxCellLines > 0 ? data_.job().maxCellLines : INT_MAX;
    std::string text;
    for (const std::string& slice : FoldDisplayText(data_.printText(c, r), n, maxLines)) {
        if (!text.empty()) text += "<BR>";
        text += HtmlEscape(slice);
    }
    if (TrimBlanks(text).empty()) return "　";
    return text;
}

std::string_view HtmlPage::opening(int c, int r) const {
    const PrintSettings& s = data_.settings();
    if (c < grid_.fixedCols() || r < grid_.fixedRows())
        return s.fixedCenter ? "  <TD Class=FixedsCenter nowrap>"
                             : "  <TD Class=FixedsLeft nowrap><Pre>";
    const bool empty = (s.karaGyoColor || s.karaGyoBlack) && rowEmpty(r);
    const bool shaded = s.breakColor && data_.breakBit(c, r);
    if (s.dataCenter) {
        if (empty)
            return s.karaGyoColor ? "  <TD Class=CellsCenterDark nowrap>"
                                  : "  <TD Class=CellsCenterBlack nowrap>";
        return shaded ? "  <TD Class=CellsCenterDark nowrap>"
                      : "  <TD Class=CellsCenterSilver nowrap>";
    }
    if (empty)
        return s.karaGyoColor ? "  <TD Class=CellsLeftDark nowrap>"
                              : "  <TD Class=CellsLeftBlack nowrap>";
    return shaded ? "  <TD Class=CellsLeftDark nowrap><Pre>"
                  : "  <TD Class=CellsLeftSilver nowrap><Pre>";
}

bool HtmlPage::rowEmpty(int r) const {
    for (int c = grid_.fixedCols(); c < grid_.colCount(); ++c)
        if (!grid_.cell(c, r).empty()) return false;
    return true;
}

} // namespace

FileDialogRequest PrintCsvRequest(const PrintSettings& settings, bool tableMode,
                                  std::string_view programFolder) {
    const Proposal p = propose(settings.savePath, settings.savePath, programFolder, ".csv", true);
    return request(tableMode ? "印刷データをＣＳＶ形式で保存します。"
                             : "表示内容をを Text File で保存します。",
                   p, "(*.csv)|*.csv|(*.csv; *.txt)|*.csv; *.txt|(*.txt)|*.txt|(*.*)|*.*");
}

FileDialogRequest PrintHtmlRequest(const PrintSettings& settings, std::string_view programFolder) {
    const Proposal p = propose(settings.htmlPath, settings.savePath, programFolder, ".html", false);
    return request("印刷データをＨＴＭＬ形式で保存します。", p,
                   "(*.htm; *.html)|*.htm; *.html|(*.*)|*.*");
}

std::string PrintDataCsv(const PrintData& data) {
    const StringGrid& grid = data.grid();
    std::string out;
    for (int r = 0; r < grid.rowCount(); ++r) {
        for (int c = 0; c < grid.colCount(); ++c) {
            if (c > 0) out += ',';
            csvCell(out, grid.cell(c, r));
        }
        out += kCrLf;
    }
    return out;
}

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        switch (ch) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += ch;
        }
    }
    return out;
}

std::string PrintDataHtml(const PrintData& data) {
    return HtmlPage(data).make();
}

std::string TemporaryHtmlPath(std::string_view programFile, std::string_view cacheFolder) {
    const fs::path program{std::string(programFile)};
    return ProgramOrCacheFile(OwnFilesFolder(program.parent_path().string()),
                              program.stem().string() + "_Temp.Html",
                              std::string(cacheFolder));
}

} // namespace tabulix
