// The .xlsx / .xlsm reader: the workbook part found through the package's
// relationships, its sheets, shared strings and number formats.
#include "workbook/NumberFormat.h"
#include "workbook/Readers.h"
#include "workbook/SheetCells.h"
#include "workbook/ZipWorkbook.h"
#include "text/RunAlongside.h"

#include <QByteArray>
#include <QHash>
#include <QXmlStreamReader>

#include <optional>

namespace tabulix {

namespace {

// Progress is told after every so many cells.
constexpr std::uint64_t kProgressCells = 8192;

QStringView attribute(const QXmlStreamAttributes& attributes, QStringView localName) {
    for (const QXmlStreamAttribute& a : attributes)
        if (a.name() == localName) return a.value();
    return {};
}

// The attributes are fetched once per element: each fetch copies them.
QString attribute(const QXmlStreamReader& xml, QStringView localName) {
    return attribute(xml.attributes(), localName).toString();
}

// "_xHHHH_" stands for the UTF-16 code unit HHHH (how OOXML keeps control
// characters such as CR in a string).
QString decodeEscapes(const QString& text) {
    if (!text.contains(u"_x")) return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'_' && i + 6 < text.size() && text[i + 1] == u'x' && text[i + 6] == u'_') {
            bool ok = false;
            const ushort unit = text.mid(i + 2, 4).toUShort(&ok, 16);
            if (ok) {
                out += QChar(unit);
                i += 6;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// The folder of a part, with its trailing "/".
std::string folderOf(const std::string& part) {
    const std::size_t slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

// A relationship's target as a part name: relative to the source's folder,
// or absolute from the package root; "." and ".." resolved.
std::string resolve(const std::string& folder, QStringView target) {
    std::string path = target.toString().toStdString();
    path = !path.empty() && path[0] == '/' ? path.substr(1) : folder + path;
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t slash = path.find('/', start);
        if (slash == std::string::npos) slash = path.size();
        const std::string part = path.substr(start, slash - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = slash + 1;
    }
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : "/") + p;
    return out;
}

struct Relationship {
    std::string type; // the last word of the type URI: "worksheet", "sharedStrings" ...
    std::string target;
};

// The relationships of a part, by id; nullopt when the part is damaged.
std::optional<QHash<QString, Relationship>> relationships(const ZipArchive& zip, const std::string& part,
                                                          WorkbookProblem& problem) {
    const std::string folder = folderOf(part);
    const std::string name = folder + "_rels/" + part.substr(folder.size()) + ".rels";
    std::string bytes;
    const ZipArchive::Status status = zip.read(name, bytes);
    QHash<QString, Relationship> out;
    if (status == ZipArchive::Status::Missing) return out;
    problem = ProblemOf(status);
    if (status != ZipArchive::Status::Ok) return std::nullopt;
    QXmlStreamReader xml = XmlReaderOf(bytes);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"Relationship") continue;
        const QString type = attribute(xml, u"Type");
        out.insert(attribute(xml, u"Id"),
                   Relationship{type.mid(type.lastIndexOf(u'/') + 1).toStdString(),
                                resolve(folder, attribute(xml, u"Target"))});
    }
    if (xml.hasError()) {
        problem = WorkbookProblem::NotWorkbook;
        return std::nullopt;
    }
    return out;
}

// A cell reference such as "B3", 0-based; nullopt when malformed.
std::optional<std::pair<std::uint32_t, std::uint32_t>> cellReference(QStringView ref) {
    std::uint64_t col = 0, row = 0;
    qsizetype i = 0;
    for (; i < ref.size() && ref[i] >= u'A' && ref[i] <= u'Z' && i < 4; ++i)
        col = col * 26 + (ref[i].unicode() - u'A' + 1);
    if (i == 0 || i == ref.size()) return std::nullopt;
    for (qsizetype j = i; j < ref.size(); ++j) {
        if (ref[j] < u'0' || ref[j] > u'9' || j - i > 8) return std::nullopt;
        row = row * 10 + (ref[j].unicode() - u'0');
    }
    if (row == 0) return std::nullopt;
    return std::pair{static_cast<std::uint32_t>(row - 1), static_cast<std::uint32_t>(col - 1)};
}

class XlsxWorkbook final : public ZipWorkbook {
public:
    using ZipWorkbook::ZipWorkbook;

    WorkbookProblem open();
    SheetText readSheet(std::size_t index) override;

private:
    WorkbookProblem readWorkbookPart(const std::string& part);
    WorkbookProblem readSharedStrings(const std::string& bytes);
    WorkbookProblem readStyles();
    WorkbookProblem readCells(const std::string& bytes, SheetCells& cells) const;
    std::string cellText(QStringView type, QStringView style, const QString& value,
                                        const QString& inlineText) const;

    std::vector<std::string> sheetParts_;
    std::string stringsPart_;
    std::string stylesPart_;
    bool date1904_ = false;
    bool extrasRead_ = false;
    std::vector<std::string> strings_;
    std::vector<std::string> xfFormats_; // format code of each cell style; empty for General
};

// The text of a <v> element, into room that is reused.
void readValue(QXmlStreamReader& xml, QString& value) {
    for (int depth = 1; depth > 0 && !xml.atEnd();) {
        switch (xml.readNext()) {
        case QXmlStreamReader::Characters:
            value += xml.text();
            break;
        case QXmlStreamReader::StartElement:
            ++depth;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
}

// The text of a string item (<si>, <is>): its <t> elements, runs included,
// without the phonetic guides (<rPh>).
QString stringItem(QXmlStreamReader& xml) {
    QString text;
    const QString end = xml.name().toString();
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == end) break;
        if (token != QXmlStreamReader::StartElement) continue;
        if (xml.name() == u"rPh" || xml.name() == u"phoneticPr") xml.skipCurrentElement();
        else if (xml.name() == u"t") text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
    }
    return decodeEscapes(text);
}

WorkbookProblem XlsxWorkbook::open() {
    WorkbookProblem problem = WorkbookProblem::NotWorkbook;
    const auto root = relationships(*zip_, "", problem);
    if (!root) return problem;
    std::string workbookPart = "xl/workbook.xml";
    for (const Relationship& r : *root)
        if (r.type == "officeDocument") workbookPart = r.target;
    if (!zip_->has(workbookPart)) return WorkbookProblem::NotWorkbook;
    return readWorkbookPart(workbookPart);
}

WorkbookProblem XlsxWorkbook::readWorkbookPart(const std::string& part) {
    WorkbookProblem problem = WorkbookProblem::NotWorkbook;
    const auto rels = relationships(*zip_, part, problem);
    if (!rels) return problem;
    for (const Relationship& r : *rels) {
        if (r.type == "sharedStrings") stringsPart_ = r.target;
        if (r.type == "styles") stylesPart_ = r.target;
    }
    std::string bytes;
    if (const auto status = zip_->read(part, bytes); status != ZipArchive::Status::Ok)
        return ProblemOf(status);
    QXmlStreamReader xml = XmlReaderOf(bytes);
    bool root = true;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        // Another office document (a text, a presentation) is no workbook.
        if (root && xml.name() != u"workbook") return WorkbookProblem::NotWorkbook;
        root = false;
        if (xml.name() == u"workbookPr") {
            const QString v = attribute(xml, u"date1904");
            date1904_ = v == u"1" || v == u"true";
        } else if (xml.name() == u"sheet") {
            const auto rel = rels->constFind(attribute(xml, u"id"));
            // Only worksheets hold cells; chart sheets are not listed.
            if (rel == rels->constEnd() || rel->type != "worksheet") continue;
            names_.push_back(attribute(xml, u"name").toStdString());
            sheetParts_.push_back(rel->target);
        }
    }
    return xml.hasError() ? WorkbookProblem::NotWorkbook : WorkbookProblem::None;
}

WorkbookProblem XlsxWorkbook::readSharedStrings(const std::string& bytes) {
    QXmlStreamReader xml = XmlReaderOf(bytes);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"si") {
            if (strings_.size() >= limits_.cells) return WorkbookProblem::TooManyCells;
            strings_.push_back(stringItem(xml).toStdString());
        }
    }
    return xml.hasError() ? WorkbookProblem::NotWorkbook : WorkbookProblem::None;
}

WorkbookProblem XlsxWorkbook::readStyles() {
    if (stylesPart_.empty()) return WorkbookProblem::None;
    std::string bytes;
    const auto status = zip_->read(stylesPart_, bytes);
    if (status == ZipArchive::Status::Missing) return WorkbookProblem::None;
    if (status != ZipArchive::Status::Ok) return ProblemOf(status);
    QHash<int, std::string> custom;
    std::vector<int> xfIds;
    bool inCellXfs = false;
    QXmlStreamReader xml = XmlReaderOf(bytes);
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == u"cellXfs") inCellXfs = false;
        if (token != QXmlStreamReader::StartElement) continue;
        if (xml.name() == u"numFmt")
            custom.insert(attribute(xml, u"numFmtId").toInt(),
                          attribute(xml, u"formatCode").toStdString());
        else if (xml.name() == u"cellXfs")
            inCellXfs = true;
        else if (inCellXfs && xml.name() == u"xf")
            xfIds.push_back(attribute(xml, u"numFmtId").toInt());
    }
    if (xml.hasError()) return WorkbookProblem::NotWorkbook;
    for (int id : xfIds) {
        const auto found = custom.constFind(id);
        std::string code = found != custom.constEnd() ? *found : std::string(BuiltinFormatCode(id));
        if (code == "General" || code == "general") code.clear();
        xfFormats_.push_back(std::move(code));
    }
    return WorkbookProblem::None;
}

std::string XlsxWorkbook::cellText(QStringView type, QStringView style,
                                                  const QString& value, const QString& inlineText) const {
    if (type == u"inlineStr") return inlineText.toStdString();
    if (value.isEmpty()) return std::string();
    if (type == u"b") return std::string(value == u"1" || value == u"true" ? "TRUE" : "FALSE");
    if (type == u"str") return decodeEscapes(value).toStdString();
    if (type == u"e" || type == u"d") return value.toStdString();
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok) return value.toStdString();
    const qulonglong xf = style.isEmpty() ? 0 : style.toULongLong();
    if (xf >= xfFormats_.size() || xfFormats_[xf].empty()) return GeneralNumber(number);
    return FormatNumber(number, xfFormats_[xf], date1904_);
}

WorkbookProblem XlsxWorkbook::readCells(const std::string& bytes, SheetCells& cells) const {
    QXmlStreamReader xml = XmlReaderOf(bytes);
    std::int64_t row = -1, col = -1;
    QString value, inlineText; // kept from cell to cell, so that their room is reused
    std::uint64_t count = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == u"row") {
            const QString r = attribute(xml, u"r");
            row = r.isEmpty() ? row + 1 : r.toLongLong() - 1;
            col = -1;
            if (row < 0) return WorkbookProblem::NotWorkbook;
            continue;
        }
        if (xml.name() != u"c") continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        const QStringView ref = attribute(attributes, u"r");
        if (ref.isEmpty()) {
            ++col;
        } else {
            const auto at = cellReference(ref);
            if (!at) return WorkbookProblem::NotWorkbook;
            row = at->first;
            col = at->second;
        }
        if (row < 0) row = 0;
        const QStringView type = attribute(attributes, u"t");
        const QStringView style = attribute(attributes, u"s");
        value.clear();
        inlineText.clear();
        while (!xml.atEnd()) {
            const auto token = xml.readNext();
            if (token == QXmlStreamReader::EndElement && xml.name() == u"c") break;
            if (token != QXmlStreamReader::StartElement) continue;
            if (xml.name() == u"v") readValue(xml, value);
            else if (xml.name() == u"is") inlineText = stringItem(xml);
            else xml.skipCurrentElement(); // the formula: its cached value is shown
        }
        const auto r = static_cast<std::uint32_t>(std::min<std::int64_t>(row, kSheetRows));
        const auto c = static_cast<std::uint32_t>(std::min<std::int64_t>(col, kSheetCols));
        SheetCells::Added added;
        if (type == u"s" && !value.isEmpty()) {
            // The shared strings are read beside the sheet; the index is checked after.
            bool ok = false;
            const qulonglong index = value.toULongLong(&ok);
            if (!ok) return WorkbookProblem::NotWorkbook;
            added = cells.addShared(r, c, index);
        } else {
            added = cells.add(r, c, cellText(type, style, value, inlineText));
        }
        if (++count % kProgressCells == 0)
            reportProgress(static_cast<std::uint64_t>(xml.characterOffset()), bytes.size());
        switch (added) {
        case SheetCells::Added::Ok:
            break;
        case SheetCells::Added::TooMany:
            return WorkbookProblem::TooManyCells;
        case SheetCells::Added::OutOfSheet:
            return WorkbookProblem::NotWorkbook;
        }
    }
    return xml.hasError() ? WorkbookProblem::NotWorkbook : WorkbookProblem::None;
}

SheetText XlsxWorkbook::readSheet(std::size_t index) {
    if (index >= sheetParts_.size()) return {{}, WorkbookProblem::NotWorkbook};
    std::string stringBytes;
    if (!extrasRead_) {
        strings_.clear();
        xfFormats_.clear();
        if (!stringsPart_.empty()) {
            const auto status = zip_->read(stringsPart_, stringBytes);
            if (status != ZipArchive::Status::Ok && status != ZipArchive::Status::Missing)
                return {{}, ProblemOf(status)};
        }
        if (const auto p = readStyles(); p != WorkbookProblem::None) return {{}, p};
    }
    std::string bytes;
    if (const auto status = zip_->read(sheetParts_[index], bytes); status != ZipArchive::Status::Ok)
        return {{}, ProblemOf(status)};
    // The shared strings are parsed on a second core while the sheet is.
    WorkbookProblem stringsProblem = WorkbookProblem::None;
    SheetCells cells(limits_.cells);
    WorkbookProblem cellsProblem;
    RunAlongside(stringBytes.empty() ? 1 : 2, [&](std::size_t k) {
        if (k == 0)
            cellsProblem = readCells(bytes, cells);
        else
            stringsProblem = readSharedStrings(stringBytes);
    });
    if (stringsProblem != WorkbookProblem::None) return {{}, stringsProblem};
    extrasRead_ = true;
    if (cellsProblem != WorkbookProblem::None) return {{}, cellsProblem};
    if (!cells.sharedBelow(strings_.size())) return {{}, WorkbookProblem::NotWorkbook};
    bytes = std::string(); // the XML is let go before the lines are made
    return {cells.lines(strings_), WorkbookProblem::None};
}

} // namespace

OpenedWorkbook OpenXlsx(std::unique_ptr<ZipArchive> zip, const WorkbookLimits& limits) {
    return OpenBook<XlsxWorkbook>(std::move(zip), limits);
}

} // namespace tabulix
