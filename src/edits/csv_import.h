#pragma once
// The spreadsheet round trip: all players, or all team rows, as CSV text, and such a text applied
// to the blocks. Every cell is checked by the rules of set-player and set-team before anything is
// stored; one bad cell refuses the whole text. A cell that holds what the blocks hold now is no
// change, so that an unchanged export changes no byte.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "edits/change_list.h"
#include "store/game_blocks.h"

namespace tarvo {

// A header row, then one record a player: "id", "full name", "back name", "call number" and the
// 70 fields, in the names and units of `player --json`.
std::string playersCsv(const GameBlocks& blocks);
// A header row, then one record a team row: "row", the team values by their set-team names, then
// "slot N id" and "slot N shirt" for slots 1 to 40. A value the row does not hold is empty.
std::string teamsCsv(const GameBlocks& blocks);

// One cell that changes what the blocks hold.
struct CsvChange {
    std::string record;  // "player 12", "team 70"
    std::string column;
    std::string before, after;
};
struct CsvRefusal {
    std::size_t line = 0;    // 1-based; 0 when the text as a whole is refused
    std::size_t column = 0;  // 1-based; 0 when the line as a whole is refused
    std::string columnName;  // the header's name of the column, when there is one
    std::string reason;
};
// "line 3, column 12 ("speed"): <reason>", or less where the refusal has no line or column.
std::string refusalText(const CsvRefusal& refusal);

// What an import did: refused (the blocks as they were), or the changes made, in file order.
struct CsvImport {
    std::optional<CsvRefusal> refusal;
    std::vector<CsvChange> changes;
};
// Applies a CSV text of players (an "id" column) or of team rows (a "row" column) to the blocks.
CsvImport importCsv(const GameBlocks& blocks, std::string_view text);
// What importCsv would change, worked out on a copy (the blocks stay as they are): the refusal, or
// the values that would differ afterwards, as `tarvo diff` lists them.
struct CsvPreview {
    std::optional<CsvRefusal> refusal;
    std::vector<Change> changes;
};
CsvPreview previewCsv(const GameBlocks& blocks, std::string_view text);

}  // namespace tarvo
