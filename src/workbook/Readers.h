#pragma once

// The readers of the single formats, for OpenWorkbook.
#include "workbook/Workbook.h"
#include "workbook/ZipArchive.h"

#include <memory>
#include <string>
#include <utility>

namespace tabulix {

OpenedWorkbook OpenXlsx(std::unique_ptr<ZipArchive> zip, const WorkbookLimits& limits);
OpenedWorkbook OpenOds(std::unique_ptr<ZipArchive> zip, const WorkbookLimits& limits);
OpenedWorkbook OpenXls(const std::string& path, const WorkbookLimits& limits);

inline WorkbookProblem ProblemOf(ZipArchive::Status status) {
    switch (status) {
    case ZipArchive::Status::Ok:
        return WorkbookProblem::None;
    case ZipArchive::Status::Encrypted:
        return WorkbookProblem::Encrypted;
    case ZipArchive::Status::TooLarge:
        return WorkbookProblem::PartTooLarge;
    default:
        return WorkbookProblem::NotWorkbook;
    }
}

inline OpenedWorkbook Refused(WorkbookProblem problem) {
    return OpenedWorkbook{nullptr, problem};
}

// A reader's workbook made from `args` and opened: the book, or the problem
// its open() finds.
template <typename Book, typename... Args> OpenedWorkbook OpenBook(Args&&... args) {
    auto book = std::make_unique<Book>(std::forward<Args>(args)...);
    if (const WorkbookProblem problem = book->open(); problem != WorkbookProblem::None)
        return Refused(problem);
    return OpenedWorkbook{std::move(book), WorkbookProblem::None};
}

} // namespace tabulix
