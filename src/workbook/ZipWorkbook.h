#pragma once

// What the readers of the zip-packaged formats (.xlsx, .ods) share.
#include "workbook/Workbook.h"
#include "workbook/ZipArchive.h"

#include <QByteArray>
#include <QXmlStreamReader>

#include <memory>
#include <string>
#include <vector>

namespace tabulix {

// An XML reader over a part's bytes, which outlive it: no copy is made.
inline QXmlStreamReader XmlReaderOf(const std::string& bytes) {
    return QXmlStreamReader(
        QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

// A workbook read from its package's parts: the package and the sheet names.
class ZipWorkbook : public Workbook {
public:
    ZipWorkbook(std::unique_ptr<ZipArchive> zip, const WorkbookLimits& limits)
        : Workbook(limits), zip_(std::move(zip)) {}
    const std::vector<std::string>& sheetNames() const override { return names_; }

protected:
    std::unique_ptr<ZipArchive> zip_;
    std::vector<std::string> names_;
};

} // namespace tabulix
