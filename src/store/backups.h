#pragma once
// Automatic backups of the three files of a source (boot file, parameter data, select data), made
// before the first write-back into it: $XDG_DATA_HOME/Tarvo_Riviza_Editor/backups/<source name>-
// <YYYYMMDD-HHMMSS>/ with the three files and manifest.json (the source's absolute path, its kind,
// each file's name, size and SHA-256, the time). The manifest is written and read here with a
// small JSON writer and reader of its own, so that the core needs no library.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "store/bytes.h"

namespace tarvo {

inline constexpr std::size_t kBackupsKept = 20;  // per source; older ones are removed

struct BackupFile {
    std::string name;
    std::uint64_t size = 0;
    std::string sha256;  // lower-case hex
};

struct BackupManifest {
    std::string source;  // absolute path
    std::string kind;    // "image" or "directory"
    std::string time;    // local time, "YYYY-MM-DDTHH:MM:SS"
    std::vector<BackupFile> files;
};

struct Backup {
    std::filesystem::path folder;
    BackupManifest manifest;
};

// $XDG_DATA_HOME (or ~/.local/share; on Windows the local application data folder) +
// "/Tarvo_Riviza_Editor/backups".
std::filesystem::path backupsRoot();
// The absolute, normalised path by which manifests name a source.
std::string sourceKey(const std::filesystem::path& source);

std::optional<BackupManifest> readManifest(const std::filesystem::path& folder);
// The backups of `source`, newest first.
std::vector<Backup> listBackups(const std::filesystem::path& source);

struct NamedData {
    std::string name;
    ByteSpan data;
};
// Copies the files into a new backup folder, unless the newest backup of the source holds the
// same content; then removes the source's backups beyond the kBackupsKept newest. Gives the new
// folder, an empty path when none was needed, or nullopt with `error`.
std::optional<std::filesystem::path> backUp(const std::filesystem::path& source, const std::string& kind,
                                            const std::vector<NamedData>& files, std::string& error);

// True when every file of the backup has the size and SHA-256 its manifest gives; `error` says
// which does not. The files' bytes in manifest order.
std::optional<std::vector<Bytes>> readBackupFiles(const Backup& backup, std::string& error);

}  // namespace tarvo
