#pragma once

// The readers of the single formats, for OpenWorkbook.
#include "workbook/Workbook.h"
#include "workbook/ZipArchive.h"

#include <memory>
#include <string>

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

} // namespace tabulix
