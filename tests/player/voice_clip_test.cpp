// A player's voice call as a WAV image: the PCM layout read back from an image, the clip of the
// Listen buttons read from the sample disc's archive, and saving it to a file.

#include <gtest/gtest.h>

#include "player/voice_clip.h"
#include "store/data_store.h"
#include "support/sample.h"
#include "voice/adx.h"

namespace tarvo {
namespace {

Bytes wavHeader(std::uint16_t channels, std::uint32_t rate, std::uint32_t dataSize, std::size_t samplesPresent) {
    Bytes wav(44 + samplesPresent, 0);
    const auto put = [&](std::size_t at, std::string_view text) { std::copy(text.begin(), text.end(), wav.begin() + at); };
    put(0, "RIFF");
    writeU32LE(wav, 4, dataSize + 36);
    put(8, "WAVE");
    put(12, "fmt ");
    writeU32LE(wav, 16, 16);
    writeU16LE(wav, 20, 1);
    writeU16LE(wav, 22, channels);
    writeU32LE(wav, 24, rate);
    writeU32LE(wav, 28, rate * channels * 2);
    writeU16LE(wav, 32, static_cast<std::uint16_t>(channels * 2));
    writeU16LE(wav, 34, 16);
    put(36, "data");
    writeU32LE(wav, 40, dataSize);
    return wav;
}

TEST(WavPcm, ReadsTheLayoutAndNeverReachesPastTheImage) {
    const auto mono = wavPcmOf(wavHeader(1, 22050, 140, 140));
    ASSERT_TRUE(mono);
    EXPECT_EQ(mono->channels, 1);
    EXPECT_EQ(mono->sampleRate, 22050u);
    EXPECT_EQ(mono->dataOffset, 44u);
    EXPECT_EQ(mono->dataSize, 140u);

    // A header that claims more data than the image holds is cut to the image.
    const auto cut = wavPcmOf(wavHeader(2, 44100, 1000000, 8));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->dataSize, 8u);

    struct Broken {
        const char* what;
        std::size_t at;
        std::uint8_t value;
    };
    for (const auto& b : {Broken{"RIFF tag", 0, 'X'}, Broken{"WAVE tag", 8, 'X'}, Broken{"data tag", 36, 'X'},
                          Broken{"format", 20, 3}, Broken{"bits", 34, 8}, Broken{"channels", 22, 0}}) {
        SCOPED_TRACE(b.what);
        Bytes wav = wavHeader(1, 22050, 4, 4);
        wav[b.at] = b.value;
        if (b.at == 22) wav[23] = 0;
        EXPECT_FALSE(wavPcmOf(wav));
    }
    const Bytes whole = wavHeader(1, 22050, 0, 0);
    EXPECT_FALSE(wavPcmOf(ByteSpan(whole).first(43)));
    EXPECT_TRUE(wavPcmOf(whole));
}

struct ImageEnv {
    ImageEnv() { loaded = store.LoadFromImage(test::copySampleImage(dir)); }
    test::TempDir dir;
    MessageLog log;
    DataStore store{log};
    bool loaded = false;
};

TEST(VoiceClip, ListenEntriesOfTheSampleDiscDecodeAndSave) {
    ImageEnv env;
    ASSERT_TRUE(env.loaded);
    AfsArchive& archive = env.store.archive();
    for (const std::uint16_t call : {std::uint16_t{11578}, std::uint16_t{15833}}) {
        SCOPED_TRACE(call);
        for (int which : {1, 2}) {
            const auto clip = readVoiceClip(archive, which, call);
            ASSERT_TRUE(clip) << "Listen" << which;
            const std::uint32_t index = listenEntry(which, call);
            Bytes entry(archive.GetSize(index));
            ASSERT_TRUE(archive.ReadEntry(entry, index));
            EXPECT_EQ(*clip, decodeAdxToWav(entry).value());
            EXPECT_TRUE(wavPcmOf(*clip));
        }
    }
    // Entries that hold no voice call, and numbers past the archive's end.
    EXPECT_FALSE(readVoiceClip(archive, 1, 16253));  // the parameter data
    EXPECT_FALSE(readVoiceClip(archive, 1, 65535));

    const auto file = env.dir / "call.wav";
    ASSERT_TRUE(saveVoiceClip(archive, 12000, file, env.log));
    EXPECT_EQ(test::readFile(file), readVoiceClip(archive, 1, 12000).value());
    EXPECT_EQ(env.log.messages.back().text, "OK, voice saved as \n" + file.string());

    const auto nowhere = env.dir / "missing" / "call.wav";
    EXPECT_FALSE(saveVoiceClip(archive, 12000, nowhere, env.log));
    EXPECT_EQ(env.log.messages.back().text, "Can not create file " + nowhere.string() + " !");
    EXPECT_EQ(env.log.messages.back().kind, MessageKind::FileError);

    const auto none = env.dir / "none.wav";
    EXPECT_FALSE(saveVoiceClip(archive, 16253, none, env.log));
    EXPECT_EQ(env.log.messages.back().kind, MessageKind::Warning);
    EXPECT_FALSE(std::filesystem::exists(none));
}

TEST(VoiceClip, ExportedFilesHaveNoClips) {
    test::TempDir dir;
    MessageLog log;
    DataStore store(log);
    ASSERT_TRUE(store.LoadFromDirectory(test::copySampleExportDir(dir)));
    EXPECT_FALSE(readVoiceClip(store.archive(), 1, 11578));
    EXPECT_FALSE(saveVoiceClip(store.archive(), 11578, dir / "call.wav", log));
    EXPECT_FALSE(std::filesystem::exists(dir / "call.wav"));
}

}  // namespace
}  // namespace tarvo
