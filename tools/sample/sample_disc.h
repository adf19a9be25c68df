#pragma once
// The project's own sample disc: invented data laid out like the game's, as a raw CD image and
// as a directory of the three exported files. The same bytes on every run.

#include <filesystem>

#include "store/bytes.h"
#include "store/game_blocks.h"
#include "store/messages.h"

namespace tarvo::sample {

struct SampleOptions {
    bool padImage = true;     // pad sample.bin to 297620 sectors, 700002240 bytes (sparse)
    bool replace = false;     // replace files of an earlier sample (else their presence refuses)
    bool outOfRange = false;  // store the few values of storeOutOfRangeValues
};

struct SampleBlocks {
    Bytes boot;
    Bytes parameter;
    Bytes select;
};

// The three blocks of the sample disc, made in memory.
SampleBlocks makeSampleBlocks(bool outOfRange = false);
// Stores values that the game's data may hold but the editor does not offer, in both copies, to see
// how the windows show them: player 1 (team 1's first slot) weighs 27, has face 99 and nation code
// 60 (past the nation table); team 1 has offense tactics 1 and its first slot shirt number 120.
void storeOutOfRangeValues(const GameBlocks& blocks);
// Writes directory/sample.bin, the same disc as a cooked image directory/sample.iso, and
// directory/exported/ (QXRT_418.27, parameter.ovl, select.ovl). Any of them there already refuses
// the whole (nothing written) unless `options.replace`; each is written through a temporary file
// renamed over it, so that a link there is replaced, never written through.
bool makeSample(const std::filesystem::path& directory, const SampleOptions& options, MessageService& messages);

}  // namespace tarvo::sample
