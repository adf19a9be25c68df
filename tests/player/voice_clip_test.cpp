// A player's voice call as a WAV image: the clips of the Listen buttons on the sample disc, where
// their samples lie, and saving one to a file.

#include <gtest/gtest.h>

#include "player/voice_clip.h"
#include "store/data_store.h"
#include "store/file_io.h"
#include "support/sample.h"
#include "voice/adx.h"
#include "voice/wav.h"

namespace tarvo {
namespace {

TEST(VoiceClip, ListenEntriesOfTheSampleDiscDecodeAndSave) {
    test::TempDir dir;
    MessageLog log;
    DataStore store(log);
    ASSERT_TRUE(store.LoadFromImage(test::copySampleImage(dir)));
    AfsArchive& archive = store.archive();
    for (int which : {1, 2}) {
        const auto clip = readVoiceClip(archive, which, 15833);
        ASSERT_TRUE(clip) << "Listen" << which;
        Bytes entry(archive.GetSize(listenEntry(which, 15833)));
        ASSERT_TRUE(archive.ReadEntry(entry, listenEntry(which, 15833)));
        EXPECT_EQ(*clip, decodeAdxToWav(entry).value());
    }
    testing::internal::CaptureStdout();
    EXPECT_FALSE(readVoiceClip(archive, 1, 16253));  // the parameter data, no voice call
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "not adx!\n");
    EXPECT_FALSE(readVoiceClip(archive, 1, 65535));  // past the archive's end

    // Where a clip's samples lie, never past the image's end whatever its header claims.
    Bytes clip = readVoiceClip(archive, 1, 15833).value();
    clip.resize(44 + 8);
    const auto pcm = wavPcmOf(clip);
    ASSERT_TRUE(pcm);
    EXPECT_EQ(pcm->dataOffset, 44u);
    EXPECT_EQ(pcm->dataSize, 8u);
    for (auto [at, value] : {std::pair{0, 'X'}, {8, 'X'}, {36, 'X'}, {20, 3}, {34, 8}, {22, 0}}) {
        Bytes broken = clip;
        broken[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(value);
        EXPECT_FALSE(wavPcmOf(broken)) << "byte " << at;
    }
    EXPECT_FALSE(wavPcmOf(ByteSpan(clip).first(43)));

    const auto file = dir / "call.wav", none = dir / "none.wav";
    ASSERT_TRUE(saveVoiceClip(archive, 12000, file, log));
    EXPECT_EQ(test::readFile(file), readVoiceClip(archive, 1, 12000).value());
    EXPECT_EQ(log.messages.back().text, "OK, voice saved as \n" + utf8Path(file));
    EXPECT_FALSE(saveVoiceClip(archive, 16253, none, log));
    EXPECT_FALSE(std::filesystem::exists(none));
}

}  // namespace
}  // namespace tarvo
