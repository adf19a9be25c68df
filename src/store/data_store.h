#pragma once
// The game data store: the three data blocks (boot file, parameter data, select data) loaded
// whole from a CD image or from a directory of exported files, and written back to the same
// source. Every editor changes the blocks in place; nothing reaches the source before WriteBack.

#include <cstdint>
#include <filesystem>
#include <string>

#include "store/afs_archive.h"
#include "store/bytes.h"
#include "store/messages.h"

namespace tarvo {

enum class SourceMode { ExportedFiles = 0, CdImage = 1 };

inline constexpr const char* kBootFileName = "QXRT_418.27";
inline constexpr const char* kBootFileNameSecondRelease = "QXRZ_730.56";
inline constexpr const char* kArchiveName = "filedata.afs";
inline constexpr const char* kParameterFileName = "parameter.ovl";
inline constexpr const char* kSelectFileName = "select.ovl";

// A view of the three loaded blocks. Every block is at least as long as the block map needs
// (the store refuses shorter files), so the records address them with the map's constants.
struct GameBlocks {
    MutableByteSpan boot;
    MutableByteSpan parameter;
    MutableByteSpan select;
};

class DataStore {
public:
    explicit DataStore(MessageService& messages);

    bool LoadFromImage(const std::filesystem::path& imagePath);
    bool LoadFromDirectory(const std::filesystem::path& exportDirectory);
    // Takes blocks made in memory (the sample disc generator, tests); refuses blocks shorter than
    // the block map needs. Source mode: exported files, with no directory.
    bool adoptBlocks(Bytes boot, Bytes parameter, Bytes select);

    // Writes the three blocks back to the source they came from. Every destination is opened for
    // reading and writing before any is written, so a foreseeable failure writes nothing.
    bool SaveToImage();
    bool SaveToDirectory();
    // The write button: saves to the source of the source mode and shows "OK!" or
    // "Failed to save data to CD image!" / "Failed to save data to exported files!".
    bool WriteBack();
    void ReleaseData();

    bool isLoaded() const { return m_loaded; }
    SourceMode sourceMode() const { return m_mode; }
    const std::filesystem::path& imagePath() const { return m_imagePath; }
    const std::filesystem::path& exportDirectory() const { return m_exportDirectory; }
    const std::string& bootFileName() const { return m_bootFileName; }  // the name found

    GameBlocks blocks() { return {m_boot, m_parameter, m_select}; }
    ByteSpan boot() const { return m_boot; }
    ByteSpan parameter() const { return m_parameter; }
    ByteSpan select() const { return m_select; }

    // The archive of the image; empty (every size 0) in exported-files mode.
    AfsArchive& archive() { return m_archive; }
    const AfsArchive& archive() const { return m_archive; }
    MessageService& messages() { return m_messages; }

private:
    MessageService& m_messages;
    SourceMode m_mode = SourceMode::ExportedFiles;
    bool m_loaded = false;
    std::filesystem::path m_imagePath;
    std::filesystem::path m_exportDirectory;
    std::string m_bootFileName;
    AfsArchive m_archive;
    Bytes m_boot;
    Bytes m_parameter;
    Bytes m_select;
};

}  // namespace tarvo
