#pragma once
// Values that come from outside (a player file, a team file) are checked as an edit is, by the
// same rules, before anything is stored. A value the game could not read refuses the whole file;
// a value that fits its field but lies outside what the editor offers is kept as it is and
// reported.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/team_fields.h"
#include "store/bytes.h"
#include "store/messages.h"

namespace tarvo {

struct ValueFinding {
    std::string field;   // "nation", "slot 3 shirt", "slot 3 player 45 full name"
    std::string value;   // as shown ("255"); a name slot as its bytes in hex
    std::string reason;  // "no nation of the nation table has this code"
};

struct ValueCheck {
    std::vector<ValueFinding> refused;  // the game could not read them: nothing is stored
    std::vector<ValueFinding> kept;     // stored as they are, though outside the editor's range
};

// A player's data as the files carry them: the full and back name slots, the call number and the
// 44 record bytes. `where` goes before each field's name ("slot 3 player 45 ").
void checkPlayerData(ByteSpan fullName, ByteSpan backName, std::uint16_t callNumber, ByteSpan record,
                     const std::string& where, ValueCheck& check);
// One value of a team row (of a squad slot, for squad values) as its bytes are stored. A squad ID
// past the last player, a shirt, tactics value or set piece outside its range or a role code of
// no role is refused; an empty slot where the editor wants a player and a formation position
// outside the editor's limits are kept.
void checkTeamValue(TeamFieldId field, int row, int slot, ByteSpan bytes, ValueCheck& check);

// What loading a file came to.
struct FileImport {
    bool known = false;      // the file has the form an export gives it (magic, sizes)
    std::optional<int> row;  // a team file's row
    ValueCheck values;
    bool stored() const { return known && values.refused.empty(); }
    explicit operator bool() const { return stored(); }
};

// Shows what the check of FILE found: the refused values (returns false; nothing was stored), or
// the kept ones as a warning (returns true, as it does when nothing was found).
bool reportValues(std::string_view file, const ValueCheck& check, MessageService& messages);

}  // namespace tarvo
