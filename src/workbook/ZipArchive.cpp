#include "workbook/ZipArchive.h"

#include <zip.h>

namespace tabulix {

std::unique_ptr<ZipArchive> ZipArchive::openFile(const std::string& path, std::uint64_t partLimit) {
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (zip == nullptr) return nullptr;
    return std::unique_ptr<ZipArchive>(new ZipArchive(zip, partLimit));
}

std::unique_ptr<ZipArchive> ZipArchive::openBytes(std::string_view bytes, std::uint64_t partLimit) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    zip_error_fini(&error);
    if (source == nullptr) return nullptr;
    zip_error_init(&error);
    zip_t* zip = zip_open_from_source(source, ZIP_RDONLY, &error);
    zip_error_fini(&error);
    if (zip == nullptr) {
        zip_source_free(source);
        return nullptr;
    }
    return std::unique_ptr<ZipArchive>(new ZipArchive(zip, partLimit));
}

ZipArchive::~ZipArchive() {
    zip_discard(zip_);
}

bool ZipArchive::has(const std::string& name) const {
    return zip_name_locate(zip_, name.c_str(), ZIP_FL_NOCASE) >= 0;
}

ZipArchive::Status ZipArchive::read(const std::string& name, std::string& out) const {
    out.clear();
    const zip_int64_t index = zip_name_locate(zip_, name.c_str(), ZIP_FL_NOCASE);
    if (index < 0) return Status::Missing;
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(zip_, static_cast<zip_uint64_t>(index), 0, &stat) != 0) return Status::Damaged;
    if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
        return Status::Encrypted;
    zip_file_t* file = zip_fopen_index(zip_, static_cast<zip_uint64_t>(index), 0);
    if (file == nullptr) {
        const int code = zip_error_code_zip(zip_get_error(zip_));
        return code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD ? Status::Encrypted
                                                                      : Status::Damaged;
    }
    // The sizes in the archive are not trusted: reading stops at the limit.
    Status status = Status::Ok;
    char buffer[1 << 16];
    for (;;) {
        const zip_int64_t got = zip_fread(file, buffer, sizeof buffer);
        if (got < 0) {
            status = Status::Damaged;
            break;
        }
        if (got == 0) break;
        if (out.size() + static_cast<std::uint64_t>(got) > partLimit_) {
            status = Status::TooLarge;
            break;
        }
        out.append(buffer, static_cast<std::size_t>(got));
    }
    zip_fclose(file);
    if (status != Status::Ok) out.clear();
    return status;
}

} // namespace tabulix
