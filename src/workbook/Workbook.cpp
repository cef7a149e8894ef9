#include "workbook/Workbook.h"

#include "csv/TextEncoding.h"
#include "workbook/Readers.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace tabulix {

namespace {

constexpr char kZipMagic[] = "PK\x03\x04";
constexpr char kEmptyZipMagic[] = "PK\x05\x06";
constexpr char kCompoundMagic[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

bool startsWith(std::string_view bytes, const char* magic) {
    return bytes.substr(0, std::strlen(magic)) == magic;
}

OpenedWorkbook openZip(std::unique_ptr<ZipArchive> zip, const WorkbookLimits& limits) {
    if (!zip) return Refused(WorkbookProblem::NotWorkbook);
    if (zip->has("content.xml")) return OpenOds(std::move(zip), limits);
    return OpenXlsx(std::move(zip), limits);
}

// A password-protected xlsx is a compound file holding the encrypted package;
// its directory names the stream in UTF-16.
bool holdsEncryptedPackage(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const char16_t name[] = u"EncryptedPackage";
    std::string utf16;
    for (char16_t c : std::u16string_view(name)) {
        utf16 += static_cast<char>(c & 0xFF);
        utf16 += static_cast<char>(c >> 8);
    }
    return bytes.find(utf16) != std::string::npos;
}

} // namespace

OpenedWorkbook OpenWorkbook(const std::string& path, const WorkbookLimits& limits) {
    std::ifstream in(path, std::ios::binary);
    char head[8] = {};
    in.read(head, sizeof head);
    const std::string_view magic(head, static_cast<std::size_t>(in.gcount()));
    in.close();
    if (startsWith(magic, kZipMagic) || startsWith(magic, kEmptyZipMagic))
        return openZip(ZipArchive::openFile(path, limits.partBytes), limits);
    if (magic.size() == 8 && magic == std::string_view(kCompoundMagic, 8)) {
        if (holdsEncryptedPackage(path)) return Refused(WorkbookProblem::Encrypted);
        return OpenXls(path, limits);
    }
    return Refused(WorkbookProblem::NotWorkbook);
}

OpenedWorkbook OpenZipWorkbook(std::string_view bytes, const WorkbookLimits& limits) {
    return openZip(ZipArchive::openBytes(bytes, limits.partBytes), limits);
}

namespace {

std::string problemText(WorkbookProblem problem, const WorkbookLimits& limits) {
    switch (problem) {
    case WorkbookProblem::Encrypted:
        return "パスワードで保護されたブックは読み込めません。";
    case WorkbookProblem::PartTooLarge:
        return "ブックの展開後の大きさが上限 (" + std::to_string(limits.partBytes >> 20) +
               " MB) を超えています。";
    case WorkbookProblem::TooManyCells:
        return "シートのセルの数が上限 (" + std::to_string(limits.cells) + " 個) を超えています。";
    case WorkbookProblem::TooLargeForTable:
        return "シートが大きすぎて表に読み込めません。";
    default:
        return {};
    }
}

} // namespace

std::string WorkbookFailureMessage(const std::string& path, WorkbookProblem problem,
                                   const WorkbookLimits& limits) {
    if (problem == WorkbookProblem::ReaderMissing)
        return "このマシンには Excel がインストールされていないので\r\n"
               "Excel ファイルのアクセスはできません。";
    std::string message = "このファイルは Excel で開けません。\r\n\r\n  PTAH = " + PathForDisplay(path);
    const std::string why = problemText(problem, limits);
    if (!why.empty()) message += "\r\n\r\n" + why;
    return message;
}

bool IsWorkbookFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char head[8] = {};
    in.read(head, sizeof head);
    const std::string_view bytes(head, static_cast<std::size_t>(in.gcount()));
    return bytes.starts_with(std::string_view(kZipMagic, 4)) ||
           bytes.starts_with(std::string_view(kEmptyZipMagic, 4)) ||
           bytes == std::string_view(kCompoundMagic, 8);
}

} // namespace tabulix
