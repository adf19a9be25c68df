#include "cli_support.h"

#include "edits/input_text.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>
#endif

namespace tarvo::cli {

namespace fs = std::filesystem;

void StderrMessages::show(const Message& message) {
    std::string text = message.text;
    for (auto pos = text.find('\n'); pos != std::string::npos; pos = text.find('\n', pos)) {
        // "OK, team data saved as \n<path>": keep one line, without doubling a blank.
        const bool blankBefore = pos > 0 && text[pos - 1] == ' ';
        text.replace(pos, 1, blankBefore ? "" : " ");
    }
    // A control character from a hostile input must not drive the terminal.
    std::string shown;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) shown += c;
        else shown += "\\x" + std::string(1, "0123456789abcdef"[byte >> 4]) + "0123456789abcdef"[byte & 15];
    }
    std::cerr << "tarvo: " << shown << '\n';
}

MessageService& messages() {
    static StderrMessages stderrMessages;
    return stderrMessages;
}

#ifdef _WIN32
std::vector<std::string> utf8Arguments(int, char**) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; wide && i < count; ++i) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string text(size > 0 ? static_cast<std::size_t>(size) : 1, '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, text.data(), size, nullptr, nullptr);
        text.pop_back();  // the terminating NUL
        arguments.push_back(std::move(text));
    }
    LocalFree(wide);
    return arguments;
}

void useBinaryOutput() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}
#else
std::vector<std::string> utf8Arguments(int argc, char** argv) { return {argv, argv + argc}; }

void useBinaryOutput() {}
#endif

bool loadSource(DataStore& store, const fs::path& source) {
    if (store.load(source)) return true;
    std::error_code ec;
    if (store.lastFailure().kind() != FailureKind::NoSource)
        store.messages().warning(fs::is_directory(source, ec)
                                     ? "Failed to load data from exported files in " + utf8Path(source)
                                     : "Failed to load data from CD image!");
    return false;
}

std::string adviceFor(FailureKind refusal, const std::string& source) {
    switch (refusal) {
    case FailureKind::JournalLeft: return " Run \"tarvo recover " + source + "\" to undo it.";
    case FailureKind::ChangedOnDisk: return "; run the command again to make the change on what it holds now";
    default: return {};
    }
}

int refuse(const std::string& text) {
    messages().warning(text);
    return 1;
}

int usageError(const std::string& what, const std::string& command) {
    messages().warning(what + "; see 'tarvo " + command + " --help'");
    return kUsageError;
}

std::string hexBytes(ByteSpan data) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    out.reserve(data.size() * 2);
    for (auto b : data) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

}  // namespace tarvo::cli
