// diff, apply: the values that differ between two sources, as words, JSON or a patch, and a patch
// applied to another disc.

#include <algorithm>
#include <iostream>
#include <memory>

#include "edit_support.h"
#include "edits/patch.h"
#include "ppf_commands.h"
#include "store/ppf.h"

namespace tarvo::cli {
namespace {

using json = nlohmann::ordered_json;

json valueJson(const Change& change, const std::string& value) {
    if (change.isText) return value;
    return parseInteger(value).value_or(0);
}

json changeJson(const Change& c) {
    json item;
    item["kind"] = changeKindName(c.kind);
    if (c.kind == ChangeKind::Other) {
        item["block"] = c.field;
        item["bytes"] = c.byteCount;
    } else {
        item[c.kind == ChangeKind::Player ? "id" : "row"] = c.subject;
        item["field"] = c.field;
        item["old"] = valueJson(c, c.oldValue);
        item["new"] = valueJson(c, c.newValue);
    }
    item["text"] = describeChange(c);
    return item;
}

void printChanges(const std::vector<Change>& changes, bool asJson) {
    if (!asJson) {
        for (const Change& change : changes) std::cout << describeChange(change) << '\n';
        return;
    }
    json list = json::array();
    for (const Change& change : changes) list.push_back(changeJson(change));
    std::cout << list.dump(2) << '\n';
}

struct ChangeArgs : SourceArgs {
    std::string other, file, ppf, description;
    bool json = false;
    bool dryRun = false;
    bool undo = false;
    bool fixCodes = false;
};

int diffCommand(const ChangeArgs& args) {
    if (!args.ppf.empty()) {
        if (!args.file.empty() || args.json) return usageError("--ppf goes without --patch and --json", "diff");
        return diffToPpf(args.source, args.other, args.ppf, args.description);
    }
    if (!args.description.empty()) return usageError("--description goes with --ppf", "diff");
    LoadedSource a, b;
    if (auto refused = loadOrRefuse(a, args.source)) return *refused;
    if (auto refused = loadOrRefuse(b, args.other)) return *refused;
    const std::vector<Change> changes = listChanges(a.store.writtenBlocks(), b.store.writtenBlocks());
    printChanges(changes, args.json);
    if (args.file.empty()) return 0;
    const std::string text = patchText(changes);
    const ByteSpan bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    if (!writeFileReporting(pathFromUtf8(args.file), bytes, messages())) return 1;
    std::size_t left = 0;
    for (const Change& change : changes) left += change.byteCount;
    if (left == 0) return 0;
    // A patch that does not carry every difference must not pass for a complete one.
    messages().warning(std::to_string(left) + " differing byte" + (left == 1 ? " is" : "s are") +
                       " no value of a player or a team and cannot go into a patch; " + args.file +
                       " holds the other values only");
    return 1;
}

int applyCommand(const ChangeArgs& args) {
    const std::filesystem::path file = pathFromUtf8(args.file);
    const auto bytes = readFileReporting(file, std::max(kMaxTextFileSize, ppf::kMaxPatchFileSize), messages());
    if (!bytes) return 1;
    if (ppf::isPpf(*bytes))
        return applyPpf({args.source, args.file, args.dryRun, args.undo, args.fixCodes, args.noBackup}, *bytes);
    if (args.undo || args.fixCodes) return usageError("--undo and --fix-codes go with a PPF patch", "apply");
    const std::string name = utf8Path(file);
    const Patch patch = parsePatch(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    if (!patch.error.empty()) return refuse(name + " " + patch.error);
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source, Use::Write)) return *refused;
    if (const std::string refusal = applyPatch(source.store.blocks(), patch.lines); !refusal.empty())
        return refuse(name + " " + refusal);
    const std::vector<Change> changes = listChanges(source.store.writtenBlocks(), readOnly(source.store.blocks()));
    printChanges(changes, false);
    if (args.dryRun) {
        source.messages.information(std::to_string(changes.size()) + " changes; a dry run writes nothing");
        return 0;
    }
    if (changes.empty()) {
        source.messages.information("every value of " + name + " holds already; nothing to write");
        return 0;
    }
    source.messages.information(std::to_string(changes.size()) + " changes from " + name);
    return writeBack(source, backupOf(args.noBackup));
}

}  // namespace

void registerChangeCommands(CLI::App& app, int& status) {
    {
        auto args = std::make_shared<ChangeArgs>();
        auto* c = app.add_subcommand(
            "diff",
            "Lists every value that differs between two sources: players by ID, teams by label, in the names and "
            "units of `player --json` and `team --json`; bytes no value covers as one line per block. Exits 0 "
            "whether or not they differ");
        c->add_option("SOURCE_A", args->source,
                      "a CD image file, its CUE sheet, a CHD image or a directory of exported files")
            ->required();
        c->add_option("SOURCE_B", args->other, "the same, compared with SOURCE_A")->required();
        c->add_flag("--json", args->json, "print a JSON array: kind, id or row, field, old, new and the line's text");
        c->add_option("--patch", args->file,
                      "also write the values as a patch (UTF-8: \"tarvo patch 2\", then one CSV line "
                      "KIND,ID-OR-ROW,FIELD,OLD,NEW per value, squad slots from 1); exits 1 when other bytes differ, "
                      "which a patch "
                      "cannot carry")
            ->type_name("FILE");
        c->add_option("--ppf", args->ppf,
                      "instead of listing, write a PPF 3.0 of every byte that differs between the two raw images "
                      "(or CUE sheets) of the same size, with the check block and undo data: it applies with any "
                      "patcher, but only to that very image")
            ->type_name("FILE");
        c->add_option("--description", args->description, "the PPF's description (at most 50 bytes)")
            ->type_name("TEXT");
        c->callback([args, &status] { status = diffCommand(*args); });
    }
    {
        auto [c, args] = addCommandOnSource(
            app, "apply",
            "Applies a patch written by `diff --patch` (\"tarvo patch 2\"; of \"tarvo patch 1\", whose "
            "squad slots count from 0, too) and writes SOURCE back. Every line is "
            "checked first: a known value, OLD equal to what SOURCE holds (a value that holds "
            "NEW already is left as it is) and NEW within what set-player and set-team allow; "
            "one bad line refuses the whole patch, naming its line. A PPF 1.0, 2.0 or 3.0 (told by "
            "its magic) is applied to a raw image: refused, changing nothing, when its check block "
            "or image size is another disc's, a record passes the end or the file is cut short; "
            "written journaled after a backup, then the sectors it touched have their EDC and ECC "
            "checked",
            applyCommand, status);
        c->add_option("FILE", args.file, "the patch")->required();
        c->add_flag("--dry-run", args.dryRun, "print what would change and write nothing");
        c->add_flag("--undo", args.undo, "take a PPF 3.0 back off with its undo data");
        c->add_flag("--fix-codes", args.fixCodes, "recompute the EDC and ECC of the sectors a PPF left stale");
    }
}

}  // namespace tarvo::cli
