// adx2wav and voice: an ADX voice call, from a file or from an archive entry of the disc image,
// decoded into a WAV file.

#include <memory>

#include "cli_support.h"
#include "store/file_io.h"
#include "voice/adx.h"

namespace tarvo::cli {

namespace {

namespace fs = std::filesystem;

// The WAV image of an ADX entry, or the exit status of a refusal (with its message).
std::optional<Bytes> decodeOrRefuse(ByteSpan entry, const std::string& what, int& status) {
    const auto header = readAdxHeader(entry);
    if (!header) {
        status = refuse(what + " is not ADX (no 0x80 at byte 0 or no \"(c)CRI\" at byte 30)");
        return std::nullopt;
    }
    auto image = decodeAdxToWav(entry);
    if (!image) {
        status = refuse(what + ": " + std::to_string(header->sampleCount) + " samples of " +
                        std::to_string(header->channels) + " channels would make a WAV image over " +
                        std::to_string(kMaxWavImageSize / (1024 * 1024)) + " MiB");
    }
    return image;
}

int writeWav(const fs::path& path, ByteSpan image) {
    std::string error;
    switch (writeWholeFile(path, image, error)) {
    case WriteResult::Ok: return 0;
    case WriteResult::Refused:
    case WriteResult::CannotCreate: return refuse("Can not create file " + utf8Path(path) + " ! (" + error + ")");
    case WriteResult::CannotWrite: return refuse("Can not write file " + utf8Path(path) + " ! (" + error + ")");
    }
    return 1;
}

int adxToWav(const fs::path& input, const fs::path& output) {
    if (const auto refusal = outputRefusal(output))
        return refuse("Can not create file " + utf8Path(output) + " !\n" + *refusal);
    switch (convertAdxFile(input, output)) {
    case AdxFileResult::Ok: return 0;
    case AdxFileResult::CannotRead: return refuse("Can not read file " + utf8Path(input) + " !");
    case AdxFileResult::NotAdx:
        return refuse(utf8Path(input) + " is not ADX (no 0x80 at byte 0 or no \"(c)CRI\" at byte 30)");
    case AdxFileResult::TooLong: return refuse(utf8Path(input) + ": its samples would not fit a WAV file (4 GiB)");
    case AdxFileResult::CannotCreate: return refuse("Can not create file " + utf8Path(output) + " !");
    case AdxFileResult::CannotWrite: return refuse("Can not write file " + utf8Path(output) + " !");
    }
    return 1;
}

int voiceToWav(const fs::path& source, std::uint32_t index, const fs::path& output) {
    std::error_code ec;
    if (fs::is_directory(source, ec)) {
        return refuse(utf8Path(source) + " is a directory of exported files; the voice calls are only in a CD image");
    }
    DataStore store(messages());
    if (!loadSource(store, source)) return 1;
    AfsArchive& archive = store.archive();
    if (index >= archive.entryCount()) {
        return refuse("entry " + std::to_string(index) + " is out of range: the archive has " +
                      std::to_string(archive.entryCount()) + " entries (0 to " +
                      std::to_string(archive.entryCount() > 0 ? archive.entryCount() - 1 : 0) + ")");
    }
    Bytes entry(archive.GetSize(index));
    if (!archive.ReadEntry(entry, index)) return refuse("Can not read archive entry " + std::to_string(index));
    int status = 0;
    const auto image = decodeOrRefuse(entry, "archive entry " + std::to_string(index), status);
    return image ? writeWav(output, *image) : status;
}

}  // namespace

void registerVoiceCommands(CLI::App& app, int& status) {
    struct Args {
        std::string input, output, source;
        std::uint32_t entry = 0;
    };
    auto args = std::make_shared<Args>();

    auto* adx2wav = app.add_subcommand("adx2wav", "Decode an ADX file into a 16-bit PCM WAV file");
    adx2wav->add_option("IN", args->input, "ADX file")->required();
    adx2wav->add_option("OUT", args->output, "WAV file to write")->required();
    adx2wav->callback([args, &status] { status = adxToWav(pathFromUtf8(args->input), pathFromUtf8(args->output)); });

    auto* voice =
        app.add_subcommand("voice", "Decode a voice call (an ADX entry of the disc's archive) into a WAV file");
    voice->add_option("SOURCE", args->source, "CD image file")->required();
    voice
        ->add_option("ENTRY", args->entry,
                     "archive entry number (a call number, or the call number - 8744 modulo 65536)")
        ->required();
    voice->add_option("OUT", args->output, "WAV file to write")->required();
    voice->callback(
        [args, &status] { status = voiceToWav(pathFromUtf8(args->source), args->entry, pathFromUtf8(args->output)); });
}

}  // namespace tarvo::cli
