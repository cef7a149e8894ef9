#include "csv/CsvWriter.h"

#include "table/StringGrid.h"
#include "text/DisplayWidth.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace tabulix {

namespace {

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

// What a byte of a field asks for: quotes, or a closer look because it may
// start a kept invalid byte.
constexpr unsigned char kNeedsQuotes = 1;
constexpr unsigned char kMayBeRaw = 2;

// How one field is written. A kept invalid byte that would join what follows
// it (a CP932 lead byte before a trail byte) is kept apart by a quote: the
// field is quoted, or, when the byte joins text inside the field, the quoted
// part ends right after it and the rest follows the closing quote bare (the
// reader keeps text after a closing quote in the field).
struct FieldPlan {
    bool quoted = false;
    std::size_t quotedLength = std::string_view::npos; // bytes inside the quotes
    bool writable = true;
};

// Writes each row into a buffer kept at the worst-case size (every field
// quoted, every character a doubled quote), so that each byte is a plain
// store, then appends the row to the text in one piece. Rows too long for
// that are written a piece at a time.
class RowEncoder {
public:
    explicit RowEncoder(Separator sep) : sep_(sep), blankSeparator_(sep == Separator::of(' ')) {
        for (const char c : {'"', ',', '\r', '\n'})
            kind_[static_cast<unsigned char>(c)] = kNeedsQuotes;
        if (!sep.isNone()) kind_[static_cast<unsigned char>(sep.character())] = kNeedsQuotes;
        kind_[0xF4] = kMayBeRaw;
    }

    // Appends the row; returns the index of a field whose kept bytes cannot
    // be kept apart (it is then written as it stands), or -1.
    int append(std::string& out, std::span<const std::string_view> fields) {
        std::size_t worst = fields.size();
        for (const std::string_view field : fields)
            worst += 2 * field.size() + 2;
        if (row_.size() < worst) row_.resize(worst);
        char* const begin = row_.data();
        int unwritable = -1;
        const std::size_t forced = takeLeadingQuote(fields);
        char* end = writeFields(begin, fields, forced, unwritable);
        if (!sep_.isNone() && forced == fields.size() && readsAsBlank(begin, end)) {
            const auto firstText = std::find_if(fields.begin(), fields.end(),
                                                [](std::string_view f) { return !f.empty(); });
            if (firstText != fields.end()) // there is text to lose
                end = writeFields(begin, fields,
                                  static_cast<std::size_t>(firstText - fields.begin()),
                                  unwritable);
        }
        out.append(begin, end);
        return unwritable;
    }

    // The same, handing the row to `emit` in pieces of about `piece` bytes, so
    // that a huge row never exists a second time in memory.
    template <class Emit>
    int stream(std::span<const std::string_view> fields, std::size_t piece, Emit&& emit) {
        const auto firstText = std::find_if(fields.begin(), fields.end(),
                                            [](std::string_view f) { return !f.empty(); });
        std::size_t forced = takeLeadingQuote(fields);
        if (!sep_.isNone() && forced == fields.size() && firstText != fields.end() &&
            rowReadsAsBlank(fields))
            forced = static_cast<std::size_t>(firstText - fields.begin());
        int unwritable = -1;
        std::string buffer;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i > 0 && !sep_.isNone()) emit(std::string_view(&sepByte_, 1));
            const std::string_view field = fields[i];
            if (sep_.isNone()) {
                for (std::size_t p = 0; p < field.size(); p += piece)
                    emit(field.substr(p, piece));
                continue;
            }
            const FieldPlan plan = planField(field, i + 1 == fields.size(), i == forced);
            if (!plan.writable && unwritable < 0) unwritable = static_cast<int>(i);
            if (!plan.quoted) {
                for (std::size_t p = 0; p < field.size(); p += piece)
                    emit(field.substr(p, piece));
                continue;
            }
            const std::size_t inside = std::min(plan.quotedLength, field.size());
            emit("\"");
            for (std::size_t p = 0; p < inside; p += piece) {
                const std::string_view part = field.substr(p, std::min(piece, inside - p));
                buffer.resize(2 * part.size());
                emit(std::string_view(buffer.data(), doubleQuotes(part, buffer.data()) -
                                                         buffer.data()));
            }
            emit("\"");
            for (std::size_t p = inside; p < field.size(); p += piece)
                emit(field.substr(p, std::min(piece, field.size() - p)));
        }
        return unwritable;
    }

    // The next row begins the file: a first field starting with U+FEFF or a
    // kept byte EF, FE or FF is quoted, so the file never starts with bytes
    // that read as a byte order mark (the character would be lost, the
    // encoding misread).
    void beginsFile() { leadsFile_ = true; }

private:
    std::size_t takeLeadingQuote(std::span<const std::string_view> fields) {
        const bool leads = std::exchange(leadsFile_, false);
        if (!leads || sep_.isNone() || fields.empty() || fields[0].empty()) return fields.size();
        const char32_t c = decodeUtf8(fields[0], 0).codePoint;
        // U+FEFF, or a kept byte EF, FE or FF, begins a byte order mark once
        // written.
        const char32_t byte = c & 0xFF;
        const bool markLike =
            c == 0xFEFF || (IsRawByteCodePoint(c) && (byte == 0xEF || byte == 0xFE || byte == 0xFF));
        return markLike ? 0 : fields.size();
    }

    static bool readsAsBlank(const char* begin, const char* end) {
        return begin != end && std::all_of(begin, end, isBlank);
    }

    // Whether the row written plainly would be nothing but blanks and control
    // characters; such a line has no field for a reader.
    bool rowReadsAsBlank(std::span<const std::string_view> fields) const {
        if (!isBlank(sep_.character()) && fields.size() > 1) return false;
        for (const std::string_view field : fields) {
            if (field.empty() && blankSeparator_) return false; // written as ""
            for (const char c : field)
                if (!isBlank(c) || kind_[static_cast<unsigned char>(c)] != 0) return false;
        }
        return true;
    }

    static char* doubleQuotes(std::string_view text, char* out) {
        for (const char c : text) {
            *out++ = c;
            if (c == '"') *out++ = '"';
        }
        return out;
    }

    char* writeFields(char* out, std::span<const std::string_view> fields,
                      std::size_t forcedQuote, int& unwritable) const {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i > 0 && !sep_.isNone()) *out++ = sep_.character();
            out = writeField(out, fields[i], i == forcedQuote, i + 1 == fields.size(), i,
                             unwritable);
        }
        return out;
    }

    // Copies the field and notes on the way whether it needs quotes (or a
    // closer look for kept bytes); only then is it written again, quoted.
    char* writeField(char* out, std::string_view field, bool forceQuotes, bool last,
                     std::size_t index, int& unwritable) const {
        if (sep_.isNone()) return std::copy(field.begin(), field.end(), out);
        unsigned char kinds = forceQuotes || (field.empty() && blankSeparator_) ? kNeedsQuotes : 0;
        char* const begin = out;
        for (const char c : field) {
            kinds |= kind_[static_cast<unsigned char>(c)];
            *out++ = c;
        }
        if (kinds == 0) return out;
        FieldPlan plan{(kinds & kNeedsQuotes) != 0};
        if (kinds & kMayBeRaw) plan = planField(field, last, forceQuotes);
        if (!plan.writable && unwritable < 0) unwritable = static_cast<int>(index);
        if (!plan.quoted) return out;
        const std::size_t inside = std::min(plan.quotedLength, field.size());
        out = begin;
        *out++ = '"';
        out = doubleQuotes(field.substr(0, inside), out);
        *out++ = '"';
        return std::copy(field.begin() + static_cast<std::ptrdiff_t>(inside), field.end(), out);
    }

    // The full rule, for a field that may hold kept invalid bytes.
    FieldPlan planField(std::string_view field, bool last, bool forceQuotes) const {
        bool special = forceQuotes || (field.empty() && blankSeparator_);
        for (const char c : field)
            special |= (kind_[static_cast<unsigned char>(c)] & kNeedsQuotes) != 0;
        if (!HasRawBytes(field)) return {special};
        // A line end never joins a kept byte; the separator may (a CP932
        // trail byte such as "|" or "@").
        const char next = last ? '\r' : sep_.character();
        if (!special && RawByteJoinAt(field, std::string_view(&next, 1)) == std::string_view::npos)
            return {false};
        const std::size_t join = RawByteJoinAt(field, "\"");
        if (join == std::string_view::npos) return {true};
        // The quoted part ends after the byte; the rest must read as bare text.
        const std::size_t cut = join + 4;
        const std::string_view rest = field.substr(cut);
        const bool restIsBare =
            rest.find_first_of(std::string_view{"\r\n", 2}) == std::string_view::npos &&
            rest.find(sep_.character()) == std::string_view::npos &&
            RawByteJoinAt(rest, std::string_view(&next, 1)) == std::string_view::npos;
        if (restIsBare) return {true, cut};
        return {special, std::string_view::npos, false};
    }

    Separator sep_;
    bool blankSeparator_;
    std::array<unsigned char, 256> kind_{};
    std::string row_;
    char sepByte_ = sep_.isNone() ? '\0' : sep_.character();
    bool leadsFile_ = false;
};

// The written lines of a grid's rows: the columns after the fixed ones, each
// line ending with CR LF.
class TableLines {
public:
    TableLines(const StringGrid& grid, int fixedCols, Separator sep)
        : grid_(grid), first_(std::max(fixedCols, 0)),
          fields_(static_cast<std::size_t>(std::max(grid.colCount() - first_, 0))), encoder_(sep) {}

    // The next row is the first of the file.
    void beginsFile() { encoder_.beginsFile(); }

    std::size_t width() const { return fields_.size(); }
    int firstColumn() const { return first_; }

    // Appends the row's line; the grid column of a field whose kept bytes
    // cannot be kept apart, or -1.
    int append(std::string& out, int row) {
        collect(row);
        return appendCollected(out);
    }

    // Takes the row's fields; returns their length in bytes.
    std::size_t collect(int row) {
        std::size_t size = 0;
        for (std::size_t i = 0; i < fields_.size(); ++i) {
            fields_[i] = grid_.cell(first_ + static_cast<int>(i), row);
            size += fields_[i].size();
        }
        return size;
    }

    int appendCollected(std::string& out) {
        const int field = encoder_.append(out, fields_);
        out.append("\r\n");
        return field < 0 ? -1 : first_ + field;
    }

    // The same, handed to `emit` in pieces of about `piece` bytes.
    template <class Emit> int streamCollected(std::size_t piece, Emit&& emit) {
        const int field = encoder_.stream(fields_, piece, emit);
        emit("\r\n");
        return field < 0 ? -1 : first_ + field;
    }

private:
    const StringGrid& grid_;
    int first_;
    std::vector<std::string_view> fields_;
    RowEncoder encoder_;
};

// Saving encodes and writes the table in pieces of this size, so that a big
// table never exists a second (and third) time in memory as one text.
constexpr std::size_t kPieceBytes = std::size_t{1} << 20;

} // namespace

std::string EncodeCsvRow(std::span<const std::string_view> fields, Separator sep) {
    std::string out;
    RowEncoder(sep).append(out, fields);
    return out;
}

std::string EncodeTable(const StringGrid& grid, int fixedCols, Separator sep) {
    TableLines lines(grid, fixedCols, sep);
    lines.beginsFile();
    std::string out;
    // Room for the texts, separators and line ends, and for quoting a good
    // share of the fields, so that the text is seldom moved; pages reserved
    // but never written cost nothing.
    const std::size_t texts = grid.textBytes();
    out.reserve(texts + texts / 2 +
                static_cast<std::size_t>(grid.rowCount()) * (lines.width() + 2));
    for (int row = 1; row < grid.rowCount(); ++row)
        lines.append(out, row);
    return out;
}

namespace {

// Where a character the encoding cannot hold lies among rows first .. last.
TextPosition findUnencodable(const StringGrid& grid, int firstCol, int firstRow, int lastRow,
                             TextEncoding encoding) {
    lastRow = std::min(lastRow, grid.rowCount() - 1);
    for (int row = std::max(firstRow, 1); row <= lastRow; ++row)
        for (int col = firstCol; col < grid.colCount(); ++col)
            if (!CanEncode(grid.cell(col, row), encoding)) return {row, col};
    return {lastRow, firstCol};
}

// The length of the text's front that ends at a character boundary: a
// character cut at the end waits for the next piece.
std::size_t wholeCharacters(std::string_view text) {
    for (std::size_t back = 1; back <= 4 && back <= text.size(); ++back) {
        const auto byte = static_cast<unsigned char>(text[text.size() - back]);
        if ((byte & 0xC0) == 0x80) continue; // a continuation byte
        const std::size_t length = byte < 0xC0 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
        return length > back ? text.size() - back : text.size();
    }
    return text.size();
}

// A piece of the table's text on its way to the file: whole characters of
// rows firstRow .. lastRow.
struct Piece {
    std::string text;
    int firstRow = 1;
    int lastRow = 1;
};

// How the making of a batch of rows ended.
struct BatchEnd {
    std::optional<TextPosition> unwritable; // a field whose kept bytes cannot be kept apart
    std::exception_ptr error;
};

// Takes a made piece; false to stop making.
using PieceHand = std::function<bool(Piece&&)>;

// Text buffers handed back once written, so that a save touches fresh
// memory for a few pieces only.
class BufferPool {
public:
    std::string take() {
        {
            const std::lock_guard lock(mutex_);
            if (!spare_.empty()) {
                std::string buffer = std::move(spare_.back());
                spare_.pop_back();
                buffer.clear();
                return buffer;
            }
        }
        std::string buffer;
        buffer.reserve(kPieceBytes + kPieceBytes / 4);
        return buffer;
    }
    void give(std::string buffer) {
        const std::lock_guard lock(mutex_);
        if (spare_.size() < 16) spare_.push_back(std::move(buffer));
    }

private:
    std::mutex mutex_;
    std::vector<std::string> spare_;
};

// Rows first .. end - 1 as pieces of about kPieceBytes, handed on in order;
// a huge row goes out in pieces too. The batch ends at a row whose kept bytes
// cannot be kept apart, and without a word when `hand` stops it.
BatchEnd makeBatch(TableLines& lines, int first, int end, BufferPool& pool, const PieceHand& hand) {
    if (first == 1) lines.beginsFile();
    std::string text = pool.take();
    int pieceRow = first; // the first row with text in `text`
    // Hands on the text gathered so far, but for a character cut at its end.
    const auto handOn = [&](int row, bool all) {
        const std::size_t whole = all ? text.size() : wholeCharacters(text);
        std::string rest = pool.take();
        rest.assign(text, whole);
        text.resize(whole);
        Piece piece{std::move(text), pieceRow, row};
        text = std::move(rest);
        pieceRow = row;
        return hand(std::move(piece));
    };
    for (int row = first; row < end; ++row) {
        int badCol = -1;
        if (lines.collect(row) <= kPieceBytes) {
            badCol = lines.appendCollected(text);
        } else {
            bool ok = true;
            badCol = lines.streamCollected(kPieceBytes, [&](std::string_view part) {
                if (!ok) return;
                text.append(part);
                if (text.size() >= kPieceBytes) ok = handOn(row, false);
            });
            if (!ok) return {};
        }
        if (badCol >= 0) return {TextPosition{row, badCol}, {}};
        if ((text.size() >= kPieceBytes || row + 1 == end) && !handOn(row + 1, true)) return {};
    }
    pool.give(std::move(text));
    return {};
}

// Encodes the pieces and hands them to the file in order. UTF-8 text without
// kept bytes goes out as it is made.
class PieceWriter {
public:
    PieceWriter(const StringGrid& grid, TextEncoding encoding, const ByteSink& sink)
        : grid_(grid), encoding_(encoding), sink_(sink), bytes_(ByteOrderMark(encoding)) {}

    // False when the piece stops the save: the sink failed, or `failure`
    // tells a character the encoding cannot hold.
    bool write(const Piece& piece) {
        std::string_view out = piece.text;
        const bool utf8 = encoding_ == TextEncoding::Utf8 || encoding_ == TextEncoding::Utf8Bom;
        if (!utf8 || !bytes_.empty() || piece.text.find('\xF4') != std::string::npos) {
            if (!AppendEncoded(piece.text, encoding_, bytes_)) {
                failure = findUnencodable(grid_, std::max(grid_.fixedCols(), 0), piece.firstRow,
                                          piece.lastRow, encoding_);
                return false;
            }
            out = bytes_;
        }
        if (out.empty()) return true;
        if (!sink_(out)) return false;
        bytes_.clear();
        return true;
    }

    // After the last piece: the BOM of an empty table.
    bool finish() { return bytes_.empty() || sink_(bytes_); }

    // What ends a batch; false when it stops the save.
    bool take(const BatchEnd& end) {
        if (end.error) std::rethrow_exception(end.error);
        failure = end.unwritable;
        return !failure;
    }

    std::optional<TextPosition> failure;

private:
    const StringGrid& grid_;
    TextEncoding encoding_;
    const ByteSink& sink_;
    std::string bytes_;
};

// Saving goes through the rows in batches of about this much text, made into
// pieces on other threads while this one writes.
constexpr std::size_t kBatchBytes = std::size_t{4} << 20;

// The rows of one batch: a guess from the table's width, the same for every
// save of the table.
int rowsPerBatch(const StringGrid& grid) {
    const std::size_t width =
        static_cast<std::size_t>(std::max(grid.colCount() - grid.fixedCols(), 1));
    return static_cast<int>(std::max<std::size_t>(1, kBatchBytes / (16 * width + 16)));
}

// Batches of rows made into pieces by two threads at once while the saving
// thread takes their pieces in order. A maker runs at most one batch and a
// few pieces ahead, so memory stays at a few pieces.
class BatchPipeline {
public:
    BatchPipeline(const StringGrid& grid, Separator sep, int batchRows, BufferPool& pool)
        : grid_(grid), sep_(sep), batchRows_(batchRows), pool_(pool) {}

    ~BatchPipeline() {
        {
            const std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        changed_.notify_all();
        for (std::thread& maker : makers_)
            maker.join();
    }

    BatchPipeline(const BatchPipeline&) = delete;
    BatchPipeline& operator=(const BatchPipeline&) = delete;

    // The number of makers that could be started.
    std::size_t start(std::size_t makers) {
        try {
            while (makers_.size() < makers) {
                lines_.emplace_back(grid_, grid_.fixedCols(), sep_);
                makers_.emplace_back([this, &lines = lines_.back()] { make(lines); });
            }
        } catch (const std::system_error&) {
        }
        return makers_.size();
    }

    // The next piece of the batch, or nullopt once it has no more.
    std::optional<Piece> next(int batch) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] {
            const auto it = batches_.find(batch);
            return failed_ ||
                   (it != batches_.end() && (!it->second.pieces.empty() || it->second.done));
        });
        if (failed_) std::rethrow_exception(failed_);
        Batch& made = batches_[batch];
        if (made.pieces.empty()) return std::nullopt;
        Piece piece = std::move(made.pieces.front());
        made.pieces.pop_front();
        lock.unlock();
        changed_.notify_all();
        return piece;
    }

    // How the batch ended, once its pieces are taken; makers move on.
    BatchEnd finish(int batch) {
        BatchEnd end;
        {
            const std::lock_guard lock(mutex_);
            end = batches_[batch].end;
            batches_.erase(batch);
            writing_ = batch + 1;
        }
        changed_.notify_all();
        return end;
    }

private:
    struct Batch {
        std::deque<Piece> pieces; // made, not yet taken
        bool done = false;
        BatchEnd end;
    };

    // Pieces a batch may hold before its maker waits.
    static constexpr std::size_t kWaitingPieces = 4;
    // Batches claimed beyond the one being written.
    static constexpr int kBatchesAhead = 4;

    void make(TableLines& lines) {
        for (;;) {
            int batch = 0;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock,
                              [&] { return stopped_ || nextBatch_ < writing_ + kBatchesAhead; });
                if (stopped_ || firstRow(nextBatch_) >= grid_.rowCount()) return;
                batch = nextBatch_++;
                try {
                    batches_[batch];
                } catch (...) {
                    failed_ = std::current_exception();
                    changed_.notify_all();
                    return;
                }
            }
            BatchEnd end;
            try {
                end = makeBatch(lines, firstRow(batch),
                                std::min(firstRow(batch + 1), grid_.rowCount()), pool_,
                                [&](Piece&& piece) { return put(batch, std::move(piece)); });
            } catch (...) {
                end.error = std::current_exception();
            }
            {
                const std::lock_guard lock(mutex_);
                Batch& made = batches_[batch];
                made.done = true;
                made.end = end;
            }
            changed_.notify_all();
        }
    }

    int firstRow(int batch) const {
        return static_cast<int>(
            std::min<long long>(1 + static_cast<long long>(batch) * batchRows_, grid_.rowCount()));
    }

    bool put(int batch, Piece&& piece) {
        {
            std::unique_lock lock(mutex_);
            changed_.wait(
                lock, [&] { return stopped_ || batches_[batch].pieces.size() < kWaitingPieces; });
            if (stopped_) return false;
            batches_[batch].pieces.push_back(std::move(piece));
        }
        changed_.notify_all();
        return true;
    }

    const StringGrid& grid_;
    Separator sep_;
    int batchRows_;
    BufferPool& pool_;
    std::deque<TableLines> lines_; // one for each maker
    std::vector<std::thread> makers_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<int, Batch> batches_; // claimed and not yet finished
    int nextBatch_ = 0;
    int writing_ = 0;
    bool stopped_ = false;
    std::exception_ptr failed_;
};

// The table's pieces made on this thread between writes.
bool writeInTurn(const StringGrid& grid, Separator sep, int batchRows, BufferPool& pool,
                 PieceWriter& writer) {
    TableLines lines(grid, grid.fixedCols(), sep);
    for (int first = 1; first < grid.rowCount(); first += batchRows) {
        bool written = true;
        const BatchEnd end = makeBatch(lines, first, std::min(first + batchRows, grid.rowCount()),
                                       pool, [&](Piece&& piece) {
                                           written = writer.write(piece);
                                           pool.give(std::move(piece.text));
                                           return written;
                                       });
        if (!written || !writer.take(end)) return false;
    }
    return writer.finish();
}

// The same, the pieces made by other threads while this one writes.
bool writeAlongside(BatchPipeline& pipeline, int batches, BufferPool& pool, PieceWriter& writer) {
    for (int batch = 0; batch < batches; ++batch) {
        while (std::optional<Piece> piece = pipeline.next(batch)) {
            const bool written = writer.write(*piece);
            pool.give(std::move(piece->text));
            if (!written) return false;
        }
        if (!writer.take(pipeline.finish(batch))) return false;
    }
    return writer.finish();
}

} // namespace

WriteTableResult WriteTable(const StringGrid& grid, const std::string& path, Separator sep,
                            TextEncoding encoding, TextPosition* unwritable) {
    std::optional<TextPosition> failure;
    const WriteResult result = WriteFileAtomically(path, [&](const ByteSink& sink) {
        PieceWriter writer(grid, encoding, sink);
        BufferPool pool;
        const int batchRows = rowsPerBatch(grid);
        const int batches = (std::max(grid.rowCount() - 1, 0) + batchRows - 1) / batchRows;
        bool ok = false;
        if (batches > 1) {
            BatchPipeline pipeline(grid, sep, batchRows, pool);
            if (pipeline.start(2) > 0)
                ok = writeAlongside(pipeline, batches, pool, writer);
            else
                ok = writeInTurn(grid, sep, batchRows, pool, writer);
        } else {
            ok = writeInTurn(grid, sep, batchRows, pool, writer);
        }
        failure = writer.failure;
        return ok;
    });
    if (failure) {
        if (unwritable != nullptr) *unwritable = *failure;
        return WriteTableResult::Unencodable;
    }
    return result.ok() ? WriteTableResult::Ok : WriteTableResult::Failed;
}

} // namespace tabulix
