// The .ods reader: the tables of content.xml, each cell's displayed text.
#include "workbook/NumberFormat.h"
#include "workbook/Readers.h"
#include "workbook/SheetCells.h"
#include "workbook/ZipWorkbook.h"

#include <QByteArray>
#include <QXmlStreamReader>

namespace tabulix {

namespace {

constexpr char kMimeType[] = "application/vnd.oasis.opendocument.spreadsheet";

// A repeat count attribute; 1 when absent or malformed.
std::uint64_t repeated(const QXmlStreamReader& xml, QStringView name) {
    for (const QXmlStreamAttribute& a : xml.attributes())
        if (a.name() == name) {
            bool ok = false;
            const qulonglong n = a.value().toULongLong(&ok);
            return ok && n > 0 ? n : 1;
        }
    return 1;
}

// The text of one paragraph as shown: spans and links by their text, <text:s>
// as blanks, tabs and line breaks as themselves; notes are not shown.
QString paragraph(QXmlStreamReader& xml) {
    QString text;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::Characters:
            text += xml.text();
            break;
        case QXmlStreamReader::StartElement: {
            const QStringView name = xml.name();
            if (name == u"s") {
                text += QString(static_cast<qsizetype>(std::min<std::uint64_t>(repeated(xml, u"c"), 65536)), u' ');
                xml.skipCurrentElement();
            } else if (name == u"tab") {
                text += u'\t';
                xml.skipCurrentElement();
            } else if (name == u"line-break") {
                text += u'\n';
                xml.skipCurrentElement();
            } else if (name == u"note" || name == u"annotation" || name == u"ruby-text") {
                xml.skipCurrentElement();
            } else {
                ++depth;
            }
            break;
        }
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    return text;
}

// The displayed text of a cell: its paragraphs, one line each.
QString cellText(QXmlStreamReader& xml) {
    QString text;
    bool first = true;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) break;
        if (token != QXmlStreamReader::StartElement) continue;
        if (xml.name() == u"p") {
            if (!first) text += u'\n';
            text += paragraph(xml);
            first = false;
        } else {
            xml.skipCurrentElement(); // comments, drawings, nested tables
        }
    }
    return text;
}

// A cell that has a value but no paragraph (some programs write only the
// value): the value itself, numbers in the General form.
QString valueWithoutText(const QXmlStreamAttributes& attributes) {
    QStringView type, value, date, time, boolean, string;
    for (const QXmlStreamAttribute& a : attributes) {
        if (a.name() == u"value-type") type = a.value();
        else if (a.name() == u"value") value = a.value();
        else if (a.name() == u"date-value") date = a.value();
        else if (a.name() == u"time-value") time = a.value();
        else if (a.name() == u"boolean-value") boolean = a.value();
        else if (a.name() == u"string-value") string = a.value();
    }
    if (type == u"float" || type == u"percentage" || type == u"currency") {
        bool ok = false;
        const double number = value.toDouble(&ok);
        return ok ? QString::fromStdString(GeneralNumber(number)) : value.toString();
    }
    if (type == u"date") return date.toString();
    if (type == u"time") return time.toString();
    if (type == u"boolean") return QString::fromLatin1(boolean == u"true" ? "TRUE" : "FALSE");
    return string.toString();
}

class OdsWorkbook final : public ZipWorkbook {
public:
    using ZipWorkbook::ZipWorkbook;

    WorkbookProblem open();
    SheetText readSheet(std::size_t index) override;

private:
    WorkbookProblem readTable(QXmlStreamReader& xml, SheetCells& cells, std::uint64_t textSize) const;
};

WorkbookProblem OdsWorkbook::open() {
    std::string bytes;
    if (zip_->read("mimetype", bytes) == ZipArchive::Status::Ok && bytes != kMimeType)
        return WorkbookProblem::NotWorkbook;
    if (zip_->read("META-INF/manifest.xml", bytes) == ZipArchive::Status::Ok &&
        bytes.find("encryption-data") != std::string::npos)
        return WorkbookProblem::Encrypted;
    if (const auto status = zip_->read("content.xml", bytes); status != ZipArchive::Status::Ok)
        return ProblemOf(status);
    QXmlStreamReader xml = XmlReaderOf(bytes);
    bool spreadsheet = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == u"spreadsheet") spreadsheet = true;
        if (xml.name() != u"table") continue;
        for (const QXmlStreamAttribute& a : xml.attributes())
            if (a.name() == u"name") names_.push_back(a.value().toString().toStdString());
        if (names_.empty()) names_.emplace_back();
        xml.skipCurrentElement();
    }
    if (xml.hasError() || !spreadsheet) return WorkbookProblem::NotWorkbook;
    return WorkbookProblem::None;
}

// The rows of the table the reader stands in; repeated rows and cells are
// expanded only where they hold text, so that a repeat to the end of the
// sheet costs nothing.
WorkbookProblem OdsWorkbook::readTable(QXmlStreamReader& xml, SheetCells& cells,
                                       std::uint64_t textSize) const {
    std::uint64_t row = 0, rowElements = 0;
    int depth = 1;
    std::vector<std::pair<std::uint64_t, std::string>> rowCells;
    while (depth > 0 && !xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
            continue;
        }
        if (token != QXmlStreamReader::StartElement) continue;
        if (xml.name() != u"table-row") {
            if (xml.name() == u"table") xml.skipCurrentElement(); // a table inside a shape
            else ++depth;
            continue;
        }
        const std::uint64_t rows = repeated(xml, u"number-rows-repeated");
        if (++rowElements % 1024 == 0)
            reportProgress(static_cast<std::uint64_t>(xml.characterOffset()), textSize);
        rowCells.clear();
        std::uint64_t col = 0;
        while (!xml.atEnd()) {
            const auto t = xml.readNext();
            if (t == QXmlStreamReader::EndElement) break; // the row ends
            if (t != QXmlStreamReader::StartElement) continue;
            const std::uint64_t cols = repeated(xml, u"number-columns-repeated");
            const QXmlStreamAttributes attributes = xml.attributes();
            QString shown = cellText(xml);
            if (shown.isEmpty()) shown = valueWithoutText(attributes);
            const std::string text = shown.toStdString();
            if (!text.empty())
                for (std::uint64_t k = 0; k < cols; ++k) {
                    if (rowCells.size() >= limits_.cells) return WorkbookProblem::TooManyCells;
                    if (col + k >= kSheetCols) return WorkbookProblem::NotWorkbook;
                    rowCells.emplace_back(col + k, text);
                }
            col += cols;
        }
        if (!rowCells.empty()) {
            if (rows > limits_.cells || rows * rowCells.size() + cells.size() > limits_.cells)
                return WorkbookProblem::TooManyCells;
            for (std::uint64_t k = 0; k < rows; ++k) {
                if (row + k >= kSheetRows) return WorkbookProblem::NotWorkbook;
                for (const auto& [c, text] : rowCells)
                    cells.add(static_cast<std::uint32_t>(row + k), static_cast<std::uint32_t>(c), text);
            }
        }
        row += rows;
    }
    return xml.hasError() ? WorkbookProblem::NotWorkbook : WorkbookProblem::None;
}

SheetText OdsWorkbook::readSheet(std::size_t index) {
    if (index >= names_.size()) return {{}, WorkbookProblem::NotWorkbook};
    std::string bytes;
    if (const auto status = zip_->read("content.xml", bytes); status != ZipArchive::Status::Ok)
        return {{}, ProblemOf(status)};
    QXmlStreamReader xml = XmlReaderOf(bytes);
    std::size_t table = 0;
    SheetCells cells(limits_.cells);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"table") continue;
        if (table++ != index) {
            xml.skipCurrentElement();
            continue;
        }
        if (const auto problem = readTable(xml, cells, bytes.size()); problem != WorkbookProblem::None)
            return {{}, problem};
        return {cells.lines(), WorkbookProblem::None};
    }
    return {{}, WorkbookProblem::NotWorkbook};
}

} // namespace

OpenedWorkbook OpenOds(std::unique_ptr<ZipArchive> zip, const WorkbookLimits& limits) {
    return OpenBook<OdsWorkbook>(std::move(zip), limits);
}

} // namespace tabulix
