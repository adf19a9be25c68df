// The yardstick of a write-back: the file I/O of a journaled write of a few sectors into a raw disc
// image, with no program around it. It reads the user data's sectors of the boot file, of the
// archive's entry table and of the parameter and select entries, writes the old bytes of the
// changed sectors into a new journal and flushes it and its folder, writes the sectors back and
// flushes the image, then removes the journal and flushes the folder. The sectors written hold the
// bytes they held, so the image stays as it was.
// Usage: journaled_io IMAGE JOURNAL SECTORS (the number of sectors written, one at the start of
// each of the three files in turn)

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::uint64_t kSector = 2352, kUser = 2048, kUserOffset = 24;

[[noreturn]] void fail(const char* what) {
    std::perror(what);
    std::exit(1);
}

void readAt(int fd, std::uint8_t* to, std::size_t n, std::uint64_t at) {
    if (pread(fd, to, n, static_cast<off_t>(at)) != static_cast<ssize_t>(n)) fail("read");
}

std::uint32_t u32(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t{p[3]} << 24; }

// The raw sectors holding `bytes` user bytes from `sector` on, read into uninitialised memory.
void readSectors(int fd, std::uint64_t sector, std::uint64_t bytes) {
    const std::uint64_t n = (bytes + kUser - 1) / kUser * kSector;
    const auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(n);
    readAt(fd, buffer.get(), n, sector * kSector);
}

void syncFolder(const std::string& file) {
    const std::string folder = file.find('/') == std::string::npos ? "." : file.substr(0, file.rfind('/'));
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0 || fsync(fd) != 0) fail("folder");
    close(fd);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: journaled_io IMAGE JOURNAL SECTORS\n");
        return 2;
    }
    const int image = open(argv[1], O_RDWR);
    if (image < 0) fail(argv[1]);
    // The root directory's records (sector 22): the boot file and the archive.
    std::uint8_t root[kUser];
    readAt(image, root, kUser, 22 * kSector + kUserOffset);
    std::uint32_t bootAt = 0, bootSize = 0, archiveAt = 0;
    for (std::size_t at = 0; at + 34 <= kUser && root[at] != 0; at += root[at]) {
        const std::string name(reinterpret_cast<const char*>(root + at + 33), root[at + 32]);
        if (name.starts_with("QXRT_418.27")) bootAt = u32(root + at + 2), bootSize = u32(root + at + 10);
        if (name.starts_with("FILEDATA.AFS")) archiveAt = u32(root + at + 2);
    }
    if (bootAt == 0 || archiveAt == 0) fail("root directory");
    readSectors(image, bootAt, bootSize);
    // The archive's entry count and table; entries 16253 and 16256 are the parameter and select data.
    std::uint8_t head[kUser];
    readAt(image, head, kUser, archiveAt * kSector + kUserOffset);
    const std::uint64_t tableBytes = 8 + 8 * std::uint64_t{u32(head + 4)};
    const std::uint64_t tableSectors = (tableBytes + kUser - 1) / kUser;
    std::vector<std::uint8_t> table(tableSectors * kSector);
    readAt(image, table.data(), table.size(), archiveAt * kSector);
    const auto entry = [&](std::uint64_t index, int field) {
        const std::uint64_t at = 8 + 8 * index + 4 * field;
        return u32(table.data() + at / kUser * kSector + kUserOffset + at % kUser);
    };
    std::uint64_t starts[3] = {bootAt, 0, 0};
    for (int k = 0; k < 2; ++k) {
        const std::uint64_t index = k == 0 ? 16253 : 16256;
        starts[k + 1] = archiveAt + entry(index, 0) / kUser;
        readSectors(image, starts[k + 1], entry(index, 0) % kUser + entry(index, 1));
    }

    // The journal: the old bytes of the sectors about to be written.
    const int count = std::atoi(argv[3]);
    std::vector<std::vector<std::uint8_t>> sectors;
    for (int k = 0; k < count; ++k) {
        auto& sector = sectors.emplace_back(kSector);
        readAt(image, sector.data(), kSector, (starts[k % 3] + static_cast<std::uint64_t>(k / 3)) * kSector);
    }
    const int journal = open(argv[2], O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (journal < 0) fail(argv[2]);
    for (const auto& sector : sectors)
        if (write(journal, sector.data(), sector.size()) != static_cast<ssize_t>(sector.size())) fail("journal");
    if (fsync(journal) != 0) fail("journal");
    close(journal);
    syncFolder(argv[2]);
    for (int k = 0; k < count; ++k)
        if (pwrite(image, sectors[k].data(), kSector,
                   static_cast<off_t>((starts[k % 3] + static_cast<std::uint64_t>(k / 3)) * kSector)) !=
            static_cast<ssize_t>(kSector))
            fail("write");
    if (fsync(image) != 0) fail("image");
    close(image);
    if (unlink(argv[2]) != 0) fail("journal");
    syncFolder(argv[2]);
    return 0;
}
