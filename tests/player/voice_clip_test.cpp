// A player's voice call as a WAV image: the PCM layout read back from an image, the clips of the
// Listen buttons on the sample disc, and saving one to a file.

#include <gtest/gtest.h>

#include "player/voice_clip.h"
#include "store/data_store.h"
#include "support/sample.h"
#include "voice/adx.h"

namespace tarvo {
namespace {

TEST(VoiceClip, PcmLayoutNeverReachesPastTheImage) {
    const auto image = [](std::uint32_t dataSize, std::size_t present, std::size_t at = 0, std::uint8_t value = 'R') {
        Bytes wav(44 + present, 0);
        std::ranges::copy(std::string_view("RIFF....WAVEfmt "), wav.begin());
        std::ranges::copy(std::string_view("data"), wav.begin() + 36);
        for (auto [offset, v] : {std::pair{16, 16}, {20, 1}, {22, 2}, {24, 22050}, {32, 4}, {34, 16}})
            writeU16LE(wav, offset, static_cast<std::uint16_t>(v));
        writeU32LE(wav, 28, 88200);
        writeU32LE(wav, 40, dataSize);
        wav[at] = value;
        return wav;
    };
    const auto pcm = wavPcmOf(image(1000000, 8));  // the header claims more than the image holds
    ASSERT_TRUE(pcm);
    EXPECT_EQ(pcm->channels, 2);
    EXPECT_EQ(pcm->sampleRate, 22050u);
    EXPECT_EQ(pcm->dataOffset, 44u);
    EXPECT_EQ(pcm->dataSize, 8u);
    for (auto [at, value] : {std::pair{0, 'X'}, {8, 'X'}, {36, 'X'}, {20, 3}, {34, 8}, {22, 0}})
        EXPECT_FALSE(wavPcmOf(image(4, 4, at, static_cast<std::uint8_t>(value)))) << "byte " << at;
    EXPECT_FALSE(wavPcmOf(ByteSpan(image(0, 0)).first(43)));
}

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
    EXPECT_FALSE(readVoiceClip(archive, 1, 16253));  // the parameter data, no voice call
    EXPECT_FALSE(readVoiceClip(archive, 1, 65535));  // past the archive's end

    const auto file = dir / "call.wav", nowhere = dir / "missing" / "call.wav", none = dir / "none.wav";
    ASSERT_TRUE(saveVoiceClip(archive, 12000, file, log));
    EXPECT_EQ(test::readFile(file), readVoiceClip(archive, 1, 12000).value());
    EXPECT_EQ(log.messages.back().text, "OK, voice saved as \n" + file.string());
    EXPECT_FALSE(saveVoiceClip(archive, 12000, nowhere, log));
    EXPECT_EQ(log.messages.back(), (Message{"Can not create file " + nowhere.string() + " !", "error", MessageKind::FileError}));
    EXPECT_FALSE(saveVoiceClip(archive, 16253, none, log));
    EXPECT_FALSE(std::filesystem::exists(none));
}

}  // namespace
}  // namespace tarvo
