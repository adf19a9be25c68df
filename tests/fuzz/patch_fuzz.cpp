// A patch read from any text: a refused one leaves the blocks byte for byte as they were; an
// accepted one changes values only (no other byte), applying it again changes nothing, and the
// patch written from the change list it made reads back to the same list.

#include "edits/patch.h"
#include "fuzz_support.h"
#include "sample/sample_disc.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvo;
    static const fuzz::Blocks original = [] {
        auto sample = sample::makeSampleBlocks();
        fuzz::Blocks blocks;
        blocks.boot = std::move(sample.boot);
        blocks.parameter = std::move(sample.parameter);
        blocks.select = std::move(sample.select);
        return blocks;
    }();
    const Patch patch = parsePatch(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!patch.error.empty()) return 0;
    static fuzz::Blocks blocks, twice;
    blocks.copyFrom(original);
    const std::string refusal = applyPatch(blocks.view(), patch.lines);
    if (!refusal.empty()) {
        FUZZ_CHECK(refusal.starts_with("line "));
        FUZZ_CHECK(blocks == original);
        return 0;
    }
    const std::vector<Change> changes = listChanges(original.view(), readOnly(blocks.view()));
    const Patch written = parsePatch(patchText(changes));
    FUZZ_CHECK(written.error.empty() && written.lines.size() == changes.size());
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const Change& c = changes[i];
        const PatchLine& l = written.lines[i];
        FUZZ_CHECK(c.kind != ChangeKind::Other);
        FUZZ_CHECK(l.kind == c.kind && l.subject == c.subject && l.field == c.field);
        FUZZ_CHECK(l.oldValue == c.oldValue && l.newValue == c.newValue);
    }
    twice.copyFrom(blocks);
    FUZZ_CHECK(applyPatch(twice.view(), patch.lines).empty());
    FUZZ_CHECK(twice == blocks);
    return 0;
}
