#include "help/HelpDocuments.h"

#include "csv/FileWriting.h"
#include "settings/InstalledProgram.h"

#include "text/DisplayWidth.h"
#include "text/TextHelpers.h"


namespace tabulix {

namespace {

// The text split at CR LF, CR or LF; a break at the very end starts no line.
std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string link(int page, std::string_view text) {
    return "<A href=\"#Page_" + std::to_string(page) + "\">" + std::string(text) + "</A><BR>";
}

void styleBlock(std::vector<std::string>& out, const char* name, const char* align) {
    out.push_back(std::string(name) + " {");
    for (const char* line :
         {"  font-family:ＭＳ Ｐゴシック;", "  font-size:10.5pt;", "  color:White;",
          "  background-color:Gray;", "  vertical-align:top;"})
        out.emplace_back(line);
    out.push_back(std::string("  text-align:") + align + ";");
    for (const char* line : {"  padding-bottom:30px", "  border-width:1px;", "  border-style:outset;",
                             "  border-color:white;", "}", ""})
        out.emplace_back(line);
}

void headAndIndex(std::vector<std::string>& out, std::string_view baseCaption,
                  std::string_view heading, const std::vector<HelpPage>& pages, int startPage) {
    out.push_back("<HTML><HEAD><TITLE>" + EscapeHtml(baseCaption) + "</TITLE></HEAD>");
    out.emplace_back("<META http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">");
    for (const char* line : {"<STYLE type=text/css>", "<!--", ""})
        out.emplace_back(line);
    styleBlock(out, "TD.Title", "left");
    styleBlock(out, "TD.TitleCenter", "Center");
    for (const char* line :
         {"TD.Cells {", "  font-family:ＭＳ Ｐゴシック;", "  font-size:10.5pt;", "  color:White;",
          "  background-color:#5F5F5F", "  vertical-align:top;", "  text-align:Left;",
          "  padding-bottom:30px", "  border-width:1px;", "  border-style:inset;",
          "  border-color:Silver;", "}", "", "TD.BottomBar {", "  font-family:ＭＳ Ｐゴシック;",
          "  font-size:10.5pt;", "  color:White;", "  background-color:Gray;", "  border-width:1px;",
          "  border-style:outset;", "  border-color:white;", "  width: 0px;", "  height: 0px;", "}",
          "-->", "</STYLE>", "<SCRIPT LANGUAGE=\"JavaScript\">", "<!--",
          "  function LinkJump(Tag) {location.href = Tag}", "-->", "</SCRIPT>", ""})
        out.emplace_back(line);
    const std::string jump =
        startPage > 0 ? "OnLoad=LinkJump(\"#Page_" + std::to_string(startPage) + "\")" : "";
    out.push_back("<BODY " + jump +
                  " BGCOLOR=#5F5F5F Text=Black Link=White VLink=White ALink=LightSkyBlue>");
    out.emplace_back("");
    for (const char* line :
         {"<TABLE border=1 CELLSPACING=0 CELLPADDING=8>", "", "<TR>", "  <A name=\"Page_0\"></A><BR>",
          "  <TD Class=TitleCenter ColSpan=3>",
          "    <SPAN style=\"color=White; font-size:18pt; font-weight:bold; font-style:oblique\">"})
        out.emplace_back(line);
    out.push_back("      " + EscapeHtml(heading) + "Help");
    for (const char* line : {"    </SPAN>", "  </TD>", "</TR>"})
        out.emplace_back(line);
    for (std::size_t k = 0; k < pages.size(); ++k) {
        const std::string_view text = pages[k].listText;
        const std::size_t dot = text.find('.');
        const std::string_view title = dot == std::string_view::npos ? text : text.substr(dot + 1);
        const int n = static_cast<int>(k + 1);
        out.emplace_back("");
        out.emplace_back("<TR>");
        out.push_back("  <TD Class=Title>" + std::to_string(n) + "</TD>");
        out.push_back("  <TD Class=Title>" + link(n, EscapeHtml(title)) + "</TD>");
        out.emplace_back("  <TD Class=Title>　</TD>");
        out.emplace_back("</TR>");
    }
    for (const char* line : {"", "<TR>", "  <TD Class=TitleCenter ColSpan=3>　</TD>", "</TR>", "",
                             "</TABLE>", ""})
        out.emplace_back(line);
    for (int i = 0; i < 101; ++i)
        out.emplace_back("<BR>");
}

void page(std::vector<std::string>& out, int k, const HelpPage& p) {
    const std::string list = EscapeHtml(p.listText);
    for (const char* line : {"", "<TR>"})
        out.emplace_back(line);
    out.push_back("  <A name=\"Page_" + std::to_string(k) + "\"></A>");
    for (const char* line :
         {"  <TD Class=Title ColSpan=3>", "    <SPAN style=\"color=White; font-size:12pt; font-weight:bold\">"})
        out.emplace_back(line);
    out.push_back("      <BR>" + list);
    out.push_back("      　　　　" + link(0, "戻る") + "<BR>");
    for (const char* line : {"    </SPAN>", "  </TD>", "</TR>", "", "<TR>", "  <TD Class=Title>　</TD>"})
        out.emplace_back(line);
    out.push_back("  <TD Class=Cells>" + list + "<BR><BR>\r\n<Pre>\r\n" + EscapeHtml(p.document) +
                  "</Pre></TD>");
    for (const char* line : {"  <TD Class=Title>　</TD>", "</TR>"})
        out.emplace_back(line);
}

} // namespace

std::string BrowseItemText(std::string_view caption) {
    const std::size_t amp = caption.find('&');
    if (amp != std::string_view::npos) {
        // Back to the start of the character before "&".
        std::size_t before = amp;
        if (before > 0) {
            --before;
            while (before > 0 && (static_cast<unsigned char>(caption[before]) & 0xC0) == 0x80)
                --before;
        }
        caption = TrimBlanks(caption.substr(0, before));
    }
    return " " + std::string(caption);
}

std::string NumberedLines(std::string_view text) {
    std::string out;
    int n = 0;
    for (const std::string_view line : splitLines(text)) {
        out += PadLeft('0', std::to_string(++n), 5);
        out += ' ';
        out += line;
        out += "\r\n";
    }
    return out;
}

std::string JoinedLines(std::string_view text) {
    std::string out;
    bool first = true;
    for (const std::string_view line : splitLines(text)) {
        if (!first) out += "\r\n";
        first = false;
        out += line;
    }
    return out;
}

std::string ColumnNameHelpText() {
    return "列名(固定行)の入力方法\r\n"
           "\r\n"
           "  表の 1 行目を列名(見出し)として固定行で表示しているとき、その列名は次のどちらか"
           "の方法で入力します。\r\n"
           "\r\n"
           "  1. 「固定行数」を一時的に「無し」にして固定を解き、1 行目のセルに列名を入力して"
           "から、「固定行数」を元に戻します。\r\n"
           "\r\n"
           "  2. 「編集」ボタン(単行編集)を使います。行No. のスクロールバーの「▲」で 1 行目へ"
           "移動し、「内容」欄に列名を入力して、「終了」で単行編集を終えます。\r\n";
}

std::string EscapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string HelpHtml(std::string_view baseCaption, std::string_view windowCaption,
                     const std::vector<HelpPage>& pages, int startPage) {
    std::vector<std::string> out;
    const std::size_t bracket = windowCaption.find('[');
    const std::string_view heading =
        bracket == std::string_view::npos ? windowCaption : windowCaption.substr(0, bracket);
    headAndIndex(out, baseCaption, heading, pages, startPage);
    for (const char* line : {"<BR><BR>", "<BR><BR>", "<TABLE border=1 CELLSPACING=0 CELLPADDING=8>"})
        out.emplace_back(line);
    for (std::size_t k = 0; k < pages.size(); ++k)
        page(out, static_cast<int>(k + 1), pages[k]);
    for (const char* line :
         {"", "<TR>", "  <TD Class=TitleCenter ColSpan=3>",
          "    <SPAN style=\"color=White; font-size:12pt; font-weight:bold\">"})
        out.emplace_back(line);
    out.push_back("      <BR>" + link(0, "戻る") + "<BR>");
    for (const char* line : {"    </SPAN>", "  </TD>", "</TR>", "", "</TABLE>", "", "</BODY>", "</HTML>"})
        out.emplace_back(line);
    std::string text;
    for (const std::string& line : out) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::string HelpHtmlPath(const std::string& programFolder, const std::string& programName,
                         const std::string& cacheFolder) {
    std::string stem = programName;
    const std::size_t dot = stem.rfind('.');
    if (dot != std::string::npos && dot > 0) stem.erase(dot);
    return ProgramOrCacheFile(OwnFilesFolder(programFolder), stem + "_Help.Html", cacheFolder);
}

} // namespace tabulix
