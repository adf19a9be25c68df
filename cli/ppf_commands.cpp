#include "ppf_commands.h"

#include <iostream>
#include <memory>
#include <vector>

#include "edit_support.h"
#include "edits/change_list.h"
#include "store/iso_file.h"
#include "store/ppf.h"

namespace tarvo::cli {
namespace {

namespace fs = std::filesystem;

// The image file of a raw image or of the CUE sheet naming one, opened to read; nullptr with the
// refusal shown otherwise (a folder has no image; a cooked image's offsets are not a raw one's).
std::unique_ptr<OpenFile> openRawImage(const std::string& name, fs::path& dataPath) {
    MessageLog quiet;
    std::string error;
    const auto source = openSource(pathFromUtf8(name), quiet, error);
    if (!source) {
        refuse(error);
        return nullptr;
    }
    if (source->kind() == SourceKind::Folder) {
        refuse(name + " is a folder of exported files; a PPF patches a raw disc image (2352-byte sectors)");
        return nullptr;
    }
    dataPath = source->dataPath();
    auto image = diskAccess().open(dataPath, OpenMode::Read, error);
    if (!image) {
        refuse("Can not read " + utf8Path(dataPath) + ": " + error);
        return nullptr;
    }
    if (sectorLayoutOf(*image).cooked()) {
        refuse(name + " is a cooked image (2048-byte sectors); a PPF patches a raw disc image (2352-byte sectors)");
        return nullptr;
    }
    return image;
}

std::string plural(std::uint64_t count, const std::string& word) {
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

void printChangeLines(const std::vector<Change>& changes) {
    for (const Change& change : changes) std::cout << describeChange(change) << '\n';
}

struct BlockCopy {
    Bytes boot, parameter, select;
    explicit BlockCopy(ConstGameBlocks b)
        : boot(b.boot.begin(), b.boot.end()),
          parameter(b.parameter.begin(), b.parameter.end()),
          select(b.select.begin(), b.select.end()) {}
    GameBlocks view() { return {boot, parameter, select}; }
};

// After a write: the sectors the patch touched whose codes no longer match, reported, or with
// --fix-codes recomputed and written.
int checkSectorCodes(LoadedSource& source, const std::vector<FilePatch>& writes, bool fixCodes) {
    std::string error;
    auto image = diskAccess().open(source.store.sourcePath(), OpenMode::Read, error);
    std::optional<std::vector<FilePatch>> stale;
    if (image) stale = ppf::sectorsWithStaleCodes(*image, ppf::touchedSectors(writes), error);
    image.reset();
    if (!stale) return refuse("The sectors the patch touched could not be checked: " + error);
    if (stale->empty()) return 0;
    if (fixCodes) {
        if (!source.store.isLoaded() || !source.store.applyImagePatches(*stale)) return 1;
        source.messages.information("Recomputed the EDC and ECC of " + plural(stale->size(), "sector") +
                                    " the patch changed");
        return 0;
    }
    std::string sectors;
    for (std::size_t i = 0; i < stale->size() && i < 10; ++i)
        sectors += (i ? ", " : "") + std::to_string((*stale)[i].position / cdsector::kSectorSize);
    source.messages.warning(
        plural(stale->size(), "sector") + " the patch touched " + (stale->size() == 1 ? "carries" : "carry") +
        " an EDC or ECC that no longer matches (the patch was made without them): image sector " + sectors +
        (stale->size() > 10 ? " ..." : "") + "; apply it with --fix-codes to recompute them");
    return 0;
}

}  // namespace

int diffToPpf(const std::string& a, const std::string& b, const std::string& file, const std::string& description) {
    if (description.size() > ppf::kDescriptionSize)
        return refuse("the description holds " + std::to_string(description.size()) + " bytes; a PPF has room for " +
                      std::to_string(ppf::kDescriptionSize));
    fs::path pathA, pathB;
    const auto imageA = openRawImage(a, pathA);
    if (!imageA) return 1;
    const auto imageB = openRawImage(b, pathB);
    if (!imageB) return 1;
    if (imageA->size() != imageB->size())
        return refuse(a + " holds " + std::to_string(imageA->size()) + " bytes and " + b + " " +
                      std::to_string(imageB->size()) + "; a PPF is made between images of the same size");
    std::string error;
    const auto patch = ppf::diffImages(*imageA, *imageB, description, error);
    if (!patch) return refuse("No PPF made: " + error);
    // The patch must not replace either image.
    protectFromOutput(pathA);
    protectFromOutput(pathB);
    const bool written = writeFileReporting(pathFromUtf8(file), ppf::write(*patch), messages());
    unprotectFromOutput(pathA);
    unprotectFromOutput(pathB);
    if (!written) return 1;
    std::uint64_t bytes = 0;
    for (const ppf::Record& r : patch->records) bytes += r.length;
    messages().information(file + ": PPF 3.0 of " + plural(patch->records.size(), "record") + ", " +
                           plural(bytes, "differing byte"));
    return 0;
}

int applyPpf(const PpfApplyArgs& args, ByteSpan bytes) {
    std::string error;
    const auto patch = ppf::parse(bytes, error);
    if (!patch) return refuse(args.file + " is not a usable PPF patch: " + error);
    if (args.undo && !patch->hasUndo)
        return refuse(args.file + " carries no undo data, so it can not be taken back off");
    LoadedSource source;
    if (auto refused = loadOrRefuse(source, args.source, args.dryRun ? Use::Read : Use::Write)) return *refused;
    if (source.store.source()->kind() != SourceKind::RawImage)
        return refuse(args.source + " is " +
                      (source.store.sourceMode() == SourceMode::CdImage ? "a cooked image (2048-byte sectors)"
                                                                        : "a folder of exported files") +
                      "; a PPF patches a raw disc image (2352-byte sectors)");
    {
        auto image = diskAccess().open(source.store.sourcePath(), OpenMode::Read, error);
        if (!image) return refuse("Can not read " + utf8Path(source.store.sourcePath()) + ": " + error);
        if (const auto refusal = ppf::refusalFor(*patch, *image)) return refuse(args.file + ": " + *refusal);
    }
    const std::vector<FilePatch> writes = ppf::imageWrites(*patch, args.undo);
    if (writes.empty()) {
        source.messages.information(args.file + " changes no byte; nothing to write");
        return 0;
    }
    const BlockCopy before(source.store.writtenBlocks());
    if (args.dryRun) {
        BlockCopy after(before);
        const std::uint64_t outside = ppf::writeIntoBlocks(writes, *source.store.source(), after.view());
        const auto changes = listChanges(source.store.writtenBlocks(), readOnly(after.view()));
        printChangeLines(changes);
        if (outside > 0) std::cout << plural(outside, "byte") << " outside the game's data\n";
        source.messages.information(plural(changes.size(), "change") + "; a dry run writes nothing");
        return 0;
    }
    source.store.setBackups(!args.noBackup);
    if (const int status = runWrite(source, [&] { return source.store.applyImagePatches(writes); })) return status;
    if (source.store.isLoaded())
        printChangeLines(listChanges({before.boot, before.parameter, before.select}, source.store.writtenBlocks()));
    source.messages.information((args.undo ? "Took " : "Applied ") + plural(patch->records.size(), "record") + " of " +
                                args.file + (args.undo ? " back off " : " to ") + args.source +
                                (source.store.backupMade().empty()
                                     ? ""
                                     : "\nBackup of the files as they were: " + utf8Path(source.store.backupMade())));
    return checkSectorCodes(source, writes, args.fixCodes);
}

}  // namespace tarvo::cli
