// Two `tarvo` runs writing into one source at the same moment: each holds the source's lock from
// its load to the end of its write, so neither edit is lost; recovery is refused while a write
// holds the lock.

#include <gtest/gtest.h>

#include <array>
#include <thread>

#include "records/player.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "support/sample.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

test::ProgramRun runTarvo(const std::vector<std::string>& args) { return test::runCaptured(TARVO_CLI_PATH, args); }

struct Edit {
    std::uint32_t player;
    PlayerFieldId field;
    const char* name;
};

// 50 rounds of two `set-player` runs started together, on the image and on the folder; even
// rounds edit two fields of one player's 44-byte record (one sector), odd rounds a field of the
// first and of the last player (96624 bytes apart, two sectors). Each round writes values the
// round before did not hold. After it, every edit reported "OK!" is in the source; a refused run
// said why and left its field as it was.
TEST(ConcurrentWriters, LoseNoEdit) {
    const Edit pairs[2][2] = {{{12, PlayerFieldId::Speed, "speed"}, {12, PlayerFieldId::Stamina, "stamina"}},
                              {{1, PlayerFieldId::Speed, "speed"}, {2197, PlayerFieldId::Stamina, "stamina"}}};
    for (const bool image : {false, true}) {
        SCOPED_TRACE(image ? "image" : "folder");
        test::TempDir dir;
        const fs::path source = image ? test::copySampleImage(dir) : test::copySampleExportDir(dir);
        auto valuesOf = [&](const Edit(&edits)[2]) {
            MessageLog log;
            DataStore store(log);
            EXPECT_TRUE(image ? store.LoadFromImage(source) : store.LoadFromDirectory(source));
            std::array<std::uint32_t, 2> values{};
            for (int w = 0; w < 2; ++w) {
                Player player;
                player.load(store.blocks(), edits[w].player);
                values[static_cast<std::size_t>(w)] = player.read(edits[w].field);
            }
            return values;
        };
        int lost = 0;
        for (std::uint32_t round = 0; round < 50; ++round) {
            const Edit(&edits)[2] = pairs[round % 2];
            const std::array<std::uint32_t, 2> values{10 + round, 60 + round % 30}, before = valuesOf(edits);
            test::ProgramRun runs[2];
            {
                std::jthread writers[2];
                for (std::size_t w = 0; w < 2; ++w)
                    writers[w] = std::jthread([&, w] {
                        runs[w] =
                            runTarvo({"set-player", "--no-backup", utf8Path(source), std::to_string(edits[w].player),
                                      std::string(edits[w].name) + "=" + std::to_string(values[w])});
                    });
            }
            const auto after = valuesOf(edits);
            for (std::size_t w = 0; w < 2; ++w) {
                if (runs[w].status == 0) {
                    EXPECT_TRUE(runs[w].err.find("OK!") != std::string::npos) << runs[w].err;
                    lost += after[w] != values[w];
                } else {
                    EXPECT_TRUE(runs[w].err.find("is being written by another program") != std::string::npos)
                        << runs[w].err;
                    EXPECT_EQ(after[w], before[w]);
                }
            }
        }
        EXPECT_EQ(lost, 0);
    }
}

// `tarvo recover` while another process holds the source's lock (this one, as a write would):
// refused, naming the holder, and the journal of that write is left alone.
TEST(ConcurrentWriters, RecoverIsRefusedUnderALiveLock) {
    test::TempDir dir;
    const fs::path image = test::copySampleImage(dir);
    const fs::path journal = fs::path(image.string() + ".tarvo-journal");
    test::writeFile(journal, Bytes{'T', 'A', 'R', 'V', 'O', 'J', 'N', 'L'});
    const auto before = test::sourceChecksums(image);
    SourceLock lock;
    ASSERT_TRUE(lock.acquire(image, 0ms));
    const test::ProgramRun run = runTarvo({"recover", utf8Path(image)});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.find(utf8Path(image) + " is being written by another program (process ") != std::string::npos)
        << run.err;
    EXPECT_TRUE(fs::exists(journal));
    EXPECT_EQ(test::sourceChecksums(image), before);
}

}  // namespace
}  // namespace tarvo
