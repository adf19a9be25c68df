// Writes the fuzz targets' seed corpora (tests/fuzz/corpus/<target>/) from the project's own
// sample disc and file builders: `make_fuzz_corpus DIR`.

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "cli/csv_import.h"
#include "patch.h"
#include "player/player_file.h"
#include "records/player.h"
#include "records/team.h"
#include "sample/adx_encoder.h"
#include "sample/sample_disc.h"
#include "sample/sample_voice.h"
#include "team/team_file.h"

namespace {

namespace fs = std::filesystem;
using tarvo::Bytes;

void put(const fs::path& dir, const std::string& target, const std::string& name, const Bytes& data) {
    fs::create_directories(dir / target);
    std::ofstream out(dir / target / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// The header and the first `records` records of a CSV text.
std::string firstLines(const std::string& csv, int records) {
    std::size_t end = 0;
    for (int line = 0; line <= records && end != std::string::npos; ++line) end = csv.find('\n', end + 1);
    return csv.substr(0, end == std::string::npos ? csv.size() : end + 1);
}

Bytes concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_fuzz_corpus DIR\n";
        return 1;
    }
    const fs::path dir = argv[1];
    auto sample = tarvo::sample::makeSampleBlocks();
    const tarvo::GameBlocks blocks{sample.boot, sample.parameter, sample.select};

    for (std::uint32_t id : {1u, 1099u, 2197u}) {
        const auto record = tarvo::playerRecordBytes(blocks, id);
        put(dir, "bit_record", "player" + std::to_string(id),
            concat(Bytes(record.begin(), record.end()), Bytes{238 % 256, 0, 7, 80, 0, 0, 0}));
        put(dir, "player_file", "player" + std::to_string(id), tarvo::buildPlayerFile(blocks, id));
        put(dir, "sjis", "full" + std::to_string(id), tarvo::readPlayerName(blocks, tarvo::PlayerName::Full, id));
    }
    for (int row : {0, 50, 64, 65, 104, 105}) {
        put(dir, "team_file", "team" + std::to_string(row), tarvo::buildTeamFile(blocks, row));
        put(dir, "sjis", "team" + std::to_string(row), tarvo::readTeamName(blocks, row));
    }
    for (int variant : {0, 3}) {
        const auto samples = tarvo::sample::makeVoiceClip(variant);
        const Bytes clip = tarvo::sample::encodeAdx(
            std::span(samples).first(std::min<std::size_t>(samples.size(), 2000)), tarvo::sample::kVoiceSampleRate);
        put(dir, "adx", "clip" + std::to_string(variant), concat(Bytes{3}, clip));
        Bytes stereo = clip;  // the same blocks read as stereo units
        stereo[7] = 2;
        put(dir, "adx", "stereo" + std::to_string(variant), concat(Bytes{1}, stereo));
    }
    // Edits of the sample disc: none, a byte of the root directory, a byte of the archive table.
    put(dir, "disc_image", "unchanged", Bytes{7, 0, 0, 0});
    put(dir, "disc_image", "root_directory", Bytes{7, 0, 0, 0, 0, 0x20, 0x93, 0, 0, 1, 0x41});
    put(dir, "disc_image", "archive_table", Bytes{7, 0, 0, 0, 1, 0x18, 0x00, 0, 0, 2, 0xFF, 0x7F});
    put(dir, "exported_files", "unchanged", Bytes{9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    put(dir, "exported_files", "parameter_short", Bytes{9, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0});
    // Spreadsheets: the export's first rows as they are and with a cell changed, a subset of the
    // columns, a refused cell and a quoted cell over two lines.
    const std::string teams = firstLines(tarvo::cli::teamsCsv(blocks), 3);
    const std::string players = firstLines(tarvo::cli::playersCsv(blocks), 3);
    put(dir, "csv", "teams", text(teams));
    put(dir, "csv", "players", text(players));
    put(dir, "csv", "team_subset", text("row,offense,captain,slot 30 id,club name\r\n70,12,3,0,New Club\r\n"));
    put(dir, "csv", "player_subset", text("speed,id,back name,skin,face\n80,12,RIVAZ,2,30\n"));
    put(dir, "csv", "refused", text("row,club name\r\n3,Club\r\n"));
    put(dir, "csv", "quoted", text("id,\"full name\"\r\n5,\"two\r\nlines, \"\"quoted\"\"\"\r\n"));
    // Patches: the change list of a few edits, and a line whose old value does not match.
    const auto before = tarvo::sample::makeSampleBlocks();
    tarvo::Player player;
    player.load(blocks, 12);
    player.write(tarvo::PF::Speed, 99);
    tarvo::writeCallNumber(blocks, 2197, 12000);
    tarvo::storeTeamName(blocks, 43, Bytes{'B', 'R', 'A', 'S', 'I', 'L'});
    tarvo::storeShirt(blocks, 70, 23, 99);
    const tarvo::ConstGameBlocks base{before.boot, before.parameter, before.select};
    const std::string patch = tarvo::cli::patchText(tarvo::listChanges(base, tarvo::readOnly(blocks)));
    put(dir, "patch", "edits", Bytes(patch.begin(), patch.end()));
    const std::string mismatch = "tarvo patch 1\r\nplayer,12,speed,1,2\r\nteam,9,\"formation x 2\",1,48\r\n";
    put(dir, "patch", "mismatch", Bytes(mismatch.begin(), mismatch.end()));
    std::cout << "seed corpora written to " << dir.string() << '\n';
    return 0;
}
