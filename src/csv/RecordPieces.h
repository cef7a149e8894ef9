#pragma once

#include "csv/Separators.h"

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

namespace tabulix {

// A stretch of a text that holds whole records, so that it can be read on
// its own: it starts at a record start, with quotes counting there or not
// (an unclosed quote earlier turns them off), and ends where the next piece
// starts.
struct RecordPiece {
    std::size_t begin = 0;
    std::size_t end = 0;
    bool quotes = true;
    std::size_t records = 0;
};

// Cuts a text (already cut at its NUL) into at most `count` pieces of about
// equal size, counted on as many threads at once; small texts stay one
// piece. The pieces hold exactly the records a scan of the whole text reads:
// a piece is first counted from a guessed record start (just after a line
// end), and counted again from the true start whenever the piece before it
// ends elsewhere (a quoted line break, an unclosed quote).
std::vector<RecordPiece> SplitRecords(std::string_view text, Separator sep, std::size_t count);
// The same with the places to guess from given: a piece is guessed to start
// after the first line end at or after each of `near` (rising).
std::vector<RecordPiece> SplitRecordsNear(std::string_view text, Separator sep,
                                          std::span<const std::size_t> near);

// The text before its first NUL (the grammar's end of text), looked for in
// pieces at once when it is large.
std::string_view BeforeNul(std::string_view text);

// The number of pieces worth making of `bytes` bytes on this machine.
std::size_t PieceCountFor(std::size_t bytes);

} // namespace tabulix
