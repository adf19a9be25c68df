// CUE sheets as people keep them beside their images: the data track is the first, in the file
// named before it, raw (MODE2/2352) or cooked (MODE1/2048) and starting at the file's first byte.

#include <gtest/gtest.h>

#include "store/cue_sheet.h"

namespace tarvo {
namespace {

TEST(CueSheet, FindsTheFirstTracksFileAndItsSectorSize) {
    struct Case {
        const char* text;
        const char* file;
        bool cooked;
    } cases[] = {
        {"FILE \"disc.bin\" BINARY\r\n  TRACK 01 MODE2/2352\r\n    INDEX 01 00:00:00\r\n", "disc.bin", false},
        {"REM a comment\nFILE \"My Disc (Track 1).bin\" binary\ntrack 01 mode2/2352\nINDEX 01 00:00:00\n"
         "FILE \"My Disc (Track 2).bin\" BINARY\nTRACK 02 AUDIO\nINDEX 00 00:00:00\nINDEX 01 00:02:00\n",
         "My Disc (Track 1).bin", false},
        {"FILE disc.iso BINARY\nTRACK 01 MODE1/2048\nINDEX 01 00:00:00", "disc.iso", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string error;
        const auto track = parseCueSheet(c.text, error);
        ASSERT_TRUE(track) << error;
        EXPECT_EQ(track->fileName, c.file);
        EXPECT_EQ(track->cooked, c.cooked);
    }
}

TEST(CueSheet, RefusesWhatIsNoDataTrackBesideTheSheet) {
    struct Case {
        const char* text;
        const char* says;
    } cases[] = {
        {"FILE \"disc.bin\" BINARY\nTRACK 01 MODE1/2352\nINDEX 01 00:00:00\n", "MODE1/2352"},
        {"FILE \"disc.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n", "AUDIO"},
        {"FILE \"disc.wav\" WAVE\nTRACK 01 MODE2/2352\nINDEX 01 00:00:00\n", "WAVE"},
        {"FILE \"../disc.bin\" BINARY\nTRACK 01 MODE2/2352\nINDEX 01 00:00:00\n", "by a path"},
        {"FILE \"/home/x/disc.bin\" BINARY\nTRACK 01 MODE2/2352\nINDEX 01 00:00:00\n", "by a path"},
        {"FILE \"C:\\disc.bin\" BINARY\nTRACK 01 MODE2/2352\nINDEX 01 00:00:00\n", "by a path"},
        {"FILE \"disc.bin\" BINARY\nTRACK 01 MODE2/2352\nINDEX 01 00:02:00\n", "00:02:00"},
        {"FILE \"disc.bin\" BINARY\nTRACK 01 MODE2/2352\n", "no INDEX 01"},
        {"TRACK 01 MODE2/2352\nINDEX 01 00:00:00\n", "before any FILE"},
        {"FILE \"disc.bin\" BINARY\nTRACK 02 MODE2/2352\nINDEX 01 00:00:00\n", "no first track"},
        {"FILE \"disc.bin BINARY\nTRACK 01 MODE2/2352\n", "line 1"},
        {"", "no first track"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::string error;
        EXPECT_FALSE(parseCueSheet(c.text, error));
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
    }
}

}  // namespace
}  // namespace tarvo
