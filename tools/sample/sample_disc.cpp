#include "sample_disc.h"

#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

#include "adx_encoder.h"
#include "disc_image.h"
#include "records/player.h"
#include "records/player_tables.h"
#include "records/team.h"
#include "sample_content.h"
#include "sample_random.h"
#include "sample_voice.h"
#include "store/block_map.h"
#include "store/cd_sector.h"
#include "store/data_store.h"
#include "store/file_io.h"

namespace tarvo::sample {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kBlockAlignment = 2048;
constexpr std::size_t kBlockSlack = 512;  // bytes beyond the last table, at least
// A whole number of sectors just past the 700000000 bytes a disc image needs: a CHD image keeps whole
// sectors only, so the sample made into one comes back out as large.
constexpr std::uint64_t kPaddedSectors = 297620;
constexpr std::uint64_t kPaddedImageSize = kPaddedSectors * cdsector::kSectorSize;          // 700002240 bytes
constexpr std::uint64_t kPaddedCookedImageSize = kPaddedSectors * cdsector::kUserDataSize;  // 609525760 bytes
constexpr int kVoiceClips = 48;                      // distinct clips, shared by all voice entries
constexpr std::uint32_t kSecondCallDistance = 8744;  // "Listen2" plays the entry this far below
constexpr std::uint32_t kArchiveEntries = blockmap::kSelectEntry + 1;

std::size_t blockSize(std::size_t minimum) {
    return (minimum + kBlockSlack + kBlockAlignment - 1) / kBlockAlignment * kBlockAlignment;
}

// Bytes that no table covers carry this pattern, so that a round trip losing bytes shows.
Bytes patternBlock(std::size_t size, std::uint64_t seed) {
    SampleRandom rng(seed);
    Bytes block(size);
    for (std::size_t i = 0; i < size; i += 8) {
        const std::uint64_t word = rng.next();
        for (std::size_t k = 0; k < 8 && i + k < size; ++k) block[i + k] = static_cast<std::uint8_t>(word >> (8 * k));
    }
    return block;
}

std::string numbered(const char* format, std::uint32_t number) {
    char name[32];
    std::snprintf(name, sizeof name, format, static_cast<unsigned>(number));
    return name;
}

bool isFirstCall(std::uint32_t entry) { return entry >= kCallNumberMin && entry <= kCallNumberMax; }
bool isSecondCall(std::uint32_t entry) {
    return entry >= kCallNumberMin - kSecondCallDistance && entry <= kCallNumberMax - kSecondCallDistance;
}

Bytes buildArchive(const SampleBlocks& blocks) {
    AfsBuilder archive;
    std::vector<std::uint32_t> clips;
    for (int v = 0; v < kVoiceClips; ++v)
        clips.push_back(archive.addBlob(encodeAdx(makeVoiceClip(v), kVoiceSampleRate)));
    const std::uint32_t other = archive.addBlob(patternBlock(64, 0x5EED0010));
    const std::uint32_t parameter = archive.addBlob(blocks.parameter);
    const std::uint32_t select = archive.addBlob(blocks.select);

    for (std::uint32_t entry = 0; entry < kArchiveEntries; ++entry) {
        const std::uint32_t clip = clips[entry % kVoiceClips];
        if (entry == blockmap::kParameterEntry) archive.addEntry(parameter, "data/parameter.ovl");
        else if (entry == blockmap::kSelectEntry) archive.addEntry(select, "data/select.ovl");
        else if (isFirstCall(entry)) archive.addEntry(clip, numbered("voice/call%05u.adx", entry));
        else if (isSecondCall(entry))
            archive.addEntry(clip, numbered("voice/call%05u_2.adx", entry + kSecondCallDistance));
        else archive.addEntry(other, numbered("misc/file%05u.bin", entry));
    }
    return archive.build();
}

}  // namespace

void storeOutOfRangeValues(const GameBlocks& blocks) {
    Player player;
    player.load(blocks, 1);
    player.write(PlayerFieldId::Weight, 27);
    player.write(PlayerFieldId::Face, 99);
    player.write(PlayerFieldId::Nation, 60);
    storeTactics(blocks, 0, 0, 1);
    storeShirt(blocks, 0, 0, 120);
}

SampleBlocks makeSampleBlocks(bool outOfRange) {
    SampleBlocks blocks{patternBlock(blockSize(blockmap::kMinBootSize), 0x5EED0011),
                        patternBlock(blockSize(blockmap::kMinParameterSize), 0x5EED0012),
                        patternBlock(blockSize(blockmap::kMinSelectSize), 0x5EED0013)};
    const GameBlocks view{blocks.boot, blocks.parameter, blocks.select};
    fillPlayers(view);
    fillTeams(view);
    fillPresets(view);
    if (outOfRange) storeOutOfRangeValues(view);
    return blocks;
}

bool makeSample(const fs::path& directory, const SampleOptions& options, MessageService& messages) {
    const fs::path exported = directory / "exported";
    const fs::path image = directory / "sample.bin";
    const fs::path iso = directory / "sample.iso";
    std::error_code error;
    if (!options.replace)
        for (const fs::path& made : {image, iso, exported / kBootFileName, exported / fs::path(kParameterFileName),
                                     exported / fs::path(kSelectFileName)})
            if (fs::exists(fs::symlink_status(made, error))) {
                messages.warning(utf8Path(made) + " exists already; nothing was written (--force replaces it)");
                return false;
            }
    fs::create_directories(exported, error);
    if (error) {
        messages.warning("Can not create folder " + utf8Path(exported) + " !");
        return false;
    }
    const SampleBlocks blocks = makeSampleBlocks(options.outOfRange);
    const std::vector<DiscFile> files{{kBootFileName, blocks.boot}, {"FILEDATA.AFS", buildArchive(blocks)}};
    if (!writeDiscImage(image, files, options.padImage ? kPaddedImageSize : 0) ||
        !writeDiscImage(iso, files, options.padImage ? kPaddedCookedImageSize : 0, true)) {
        messages.warning("Can not create file " + utf8Path(image) + " or " + utf8Path(iso) + " !");
        return false;
    }
    return writeFileReporting(exported / kBootFileName, blocks.boot, messages) &&
           writeFileReporting(exported / kParameterFileName, blocks.parameter, messages) &&
           writeFileReporting(exported / kSelectFileName, blocks.select, messages);
}

}  // namespace tarvo::sample
