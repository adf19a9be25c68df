#include "store/data_store.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <system_error>
#include <tuple>

#include "store/block_map.h"
#include "store/file_io.h"

namespace tarvo {

namespace {

namespace fs = std::filesystem;

struct BlockNeed {
    const char* name;
    std::size_t minSize;
};

constexpr BlockNeed kParameterNeed{kParameterFileName, blockmap::kMinParameterSize};
constexpr BlockNeed kSelectNeed{kSelectFileName, blockmap::kMinSelectSize};

// Refuses a block shorter than the block map needs, naming the file, its size and the need.
bool longEnough(MessageService& messages, const std::string& name, std::size_t size, std::size_t needed) {
    if (size >= needed) return true;
    messages.warning(name + " holds " + std::to_string(size) + " bytes; the editor needs at least " +
                     std::to_string(needed) + " bytes");
    return false;
}

bool blocksLongEnough(MessageService& messages, const std::string& bootName, const Bytes& boot, const Bytes& parameter,
                      const Bytes& select) {
    return longEnough(messages, bootName, boot.size(), blockmap::kMinBootSize) &&
           longEnough(messages, kParameterNeed.name, parameter.size(), kParameterNeed.minSize) &&
           longEnough(messages, kSelectNeed.name, select.size(), kSelectNeed.minSize);
}

// An existing regular file of exactly `size` bytes, opened for reading and writing.
std::optional<std::fstream> openForRewrite(const fs::path& file, std::size_t size) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec) || fs::file_size(file, ec) != size || ec) return std::nullopt;
    std::fstream stream(file, std::ios::in | std::ios::out | std::ios::binary);
    if (!stream.is_open()) return std::nullopt;
    return stream;
}

bool rewrite(std::fstream& stream, ByteSpan data) {
    stream.seekp(0);
    stream.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    stream.flush();
    const bool written = !stream.fail();
    stream.close();
    return written && !stream.fail();
}

// Finds the boot file under its first name, or the second release's name; each miss shows its
// not-found message. Gives the name found.
std::optional<std::string> findBootFile(IsoFile& file, const fs::path& imagePath) {
    for (const char* name : {kBootFileName, kBootFileNameSecondRelease})
        if (file.Find(imagePath, name)) return std::string(name);
    return std::nullopt;
}

}  // namespace

DataStore::DataStore(MessageService& messages) : m_messages(messages), m_archive(messages) {}

bool DataStore::LoadFromImage(const fs::path& imagePath) {
    IsoFile bootFile(m_messages);
    const auto bootName = findBootFile(bootFile, imagePath);
    if (!bootName) return false;
    if (!longEnough(m_messages, *bootName, bootFile.fileSize(), blockmap::kMinBootSize)) return false;
    if (!bootFile.Open(IsoFile::Mode::Read)) return false;
    if (!bootFile.CheckFileInImage()) return false;
    Bytes boot(bootFile.fileSize());
    const bool bootRead = bootFile.Read(0, boot);
    bootFile.Close();
    if (!bootRead) return false;

    m_archive.Clear();
    if (!m_archive.Find(imagePath, kArchiveName) || !m_archive.LoadDirectory()) return false;
    if (m_archive.entryCount() <= std::max(blockmap::kParameterEntry, blockmap::kSelectEntry)) {
        m_messages.warning(std::string(kArchiveName) + " holds " + std::to_string(m_archive.entryCount()) +
                           " entries; the parameter data and the select data are its entries " +
                           std::to_string(blockmap::kParameterEntry) + " and " +
                           std::to_string(blockmap::kSelectEntry));
        m_archive.Clear();
        return false;
    }
    Bytes parameter, select;
    for (auto [block, entry, need] : {std::tuple{&parameter, blockmap::kParameterEntry, kParameterNeed},
                                      std::tuple{&select, blockmap::kSelectEntry, kSelectNeed}}) {
        const std::string name =
            std::string(need.name) + " (entry " + std::to_string(entry) + " of " + kArchiveName + ")";
        if (!longEnough(m_messages, name, m_archive.GetSize(entry), need.minSize)) {
            m_archive.Clear();
            return false;
        }
        block->resize(m_archive.GetSize(entry));
        if (!m_archive.ReadEntry(*block, entry)) {
            m_archive.Clear();
            return false;
        }
    }

    m_mode = SourceMode::CdImage;
    m_imagePath = imagePath;
    m_exportDirectory.clear();
    m_bootFileName = *bootName;
    m_boot = std::move(boot);
    m_parameter = std::move(parameter);
    m_select = std::move(select);
    m_loaded = true;
    return true;
}

bool DataStore::LoadFromDirectory(const fs::path& exportDirectory) {
    std::string bootName;
    std::optional<Bytes> boot;
    for (const char* name : {kBootFileName, kBootFileNameSecondRelease}) {
        boot = readWholeFile(exportDirectory / name);
        if (boot) {
            bootName = name;
            break;
        }
    }
    if (!boot) return false;
    auto parameter = readWholeFile(exportDirectory / kParameterFileName);
    if (!parameter) return false;
    auto select = readWholeFile(exportDirectory / kSelectFileName);
    if (!select) return false;
    if (!blocksLongEnough(m_messages, bootName, *boot, *parameter, *select)) return false;

    m_archive.Clear();
    m_mode = SourceMode::ExportedFiles;
    m_imagePath.clear();
    m_exportDirectory = exportDirectory;
    m_bootFileName = bootName;
    m_boot = std::move(*boot);
    m_parameter = std::move(*parameter);
    m_select = std::move(*select);
    m_loaded = true;
    return true;
}

bool DataStore::adoptBlocks(Bytes boot, Bytes parameter, Bytes select) {
    if (!blocksLongEnough(m_messages, kBootFileName, boot, parameter, select)) return false;
    m_archive.Clear();
    m_mode = SourceMode::ExportedFiles;
    m_imagePath.clear();
    m_exportDirectory.clear();
    m_bootFileName = kBootFileName;
    m_boot = std::move(boot);
    m_parameter = std::move(parameter);
    m_select = std::move(select);
    m_loaded = true;
    return true;
}

bool DataStore::SaveToImage() {
    if (!m_loaded || m_mode != SourceMode::CdImage) return false;
    IsoFile bootFile(m_messages);
    if (!findBootFile(bootFile, m_imagePath)) return false;

    // Everything that can be known before writing is checked first: the image opens for writing,
    // and the boot file and both entries still have the sizes of their blocks and lie inside it.
    const std::uint32_t parameterOffset = m_archive.GetOffset(blockmap::kParameterEntry);
    const std::uint32_t selectOffset = m_archive.GetOffset(blockmap::kSelectEntry);
    if (bootFile.fileSize() != m_boot.size() || m_archive.GetSize(blockmap::kParameterEntry) != m_parameter.size() ||
        m_archive.GetSize(blockmap::kSelectEntry) != m_select.size()) {
        m_messages.warning("The files in " + utf8Path(m_imagePath) + " no longer have the sizes they had when loaded");
        return false;
    }
    if (!bootFile.Open(IsoFile::Mode::ReadWrite)) return false;
    if (!m_archive.Open(IsoFile::Mode::ReadWrite)) return false;
    const bool inside = bootFile.covers(0, m_boot.size()) && m_archive.covers(parameterOffset, m_parameter.size()) &&
                        m_archive.covers(selectOffset, m_select.size());
    m_archive.Close();
    if (!inside) {
        m_messages.readerError("The data to save runs past the end of " + utf8Path(m_imagePath));
        return false;
    }

    const bool bootWritten = bootFile.Write(0, m_boot);
    bootFile.Close();
    return bootWritten && m_archive.WriteEntry(m_parameter, blockmap::kParameterEntry) &&
           m_archive.WriteEntry(m_select, blockmap::kSelectEntry);
}

bool DataStore::SaveToDirectory() {
    if (!m_loaded || m_mode != SourceMode::ExportedFiles || m_exportDirectory.empty()) return false;
    // All three files are opened before any is written, so a missing or locked one writes nothing.
    auto boot = openForRewrite(m_exportDirectory / m_bootFileName, m_boot.size());
    if (!boot) return false;
    auto parameter = openForRewrite(m_exportDirectory / kParameterFileName, m_parameter.size());
    if (!parameter) return false;
    auto select = openForRewrite(m_exportDirectory / kSelectFileName, m_select.size());
    if (!select) return false;
    return rewrite(*boot, m_boot) && rewrite(*parameter, m_parameter) && rewrite(*select, m_select);
}

bool DataStore::WriteBack() {
    if (m_mode == SourceMode::CdImage) {
        if (!SaveToImage()) {
            m_messages.warning("Failed to save data to CD image!");
            return false;
        }
    } else if (!SaveToDirectory()) {
        m_messages.warning("Failed to save data to exported files!");
        return false;
    }
    m_messages.information("OK!");
    return true;
}

void DataStore::ReleaseData() {
    m_boot = Bytes();
    m_parameter = Bytes();
    m_select = Bytes();
    m_archive.Clear();
    m_loaded = false;
}

}  // namespace tarvo
