#pragma once
// The PPF side of diff and apply: a PPF 3.0 of the bytes that differ between two raw images, and a
// PPF 1.0, 2.0 or 3.0 applied to a raw image (or taken back off it), its sector codes checked.

#include <string>

#include "store/bytes.h"

namespace tarvo::cli {

struct PpfApplyArgs {
    std::string source, file;
    bool dryRun = false;
    bool undo = false;
    bool fixCodes = false;
    bool noBackup = false;
};

// Writes the PPF that turns SOURCE_A into SOURCE_B into `file`: the exit status.
int diffToPpf(const std::string& a, const std::string& b, const std::string& file, const std::string& description);
// Applies the PPF file `bytes` (read from args.file) to args.source: the exit status.
int applyPpf(const PpfApplyArgs& args, ByteSpan bytes);

}  // namespace tarvo::cli
