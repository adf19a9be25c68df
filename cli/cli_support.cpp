#include "cli_support.h"

namespace tarvo::cli {

namespace fs = std::filesystem;

void StderrMessages::show(const Message& message) {
    std::string text = message.text;
    for (auto pos = text.find('\n'); pos != std::string::npos; pos = text.find('\n', pos)) {
        // "OK, team data saved as \n<path>": keep one line, without doubling a blank.
        const bool blankBefore = pos > 0 && text[pos - 1] == ' ';
        text.replace(pos, 1, blankBefore ? "" : " ");
    }
    std::cerr << text << '\n';
}

bool loadSource(DataStore& store, const fs::path& source) {
    std::error_code ec;
    if (fs::is_directory(source, ec)) {
        if (store.LoadFromDirectory(source)) return true;
        store.messages().warning("Failed to load data from exported files in " + source.string());
        return false;
    }
    if (!fs::exists(source, ec)) {
        store.messages().warning("No such file or directory: " + source.string());
        return false;
    }
    if (store.LoadFromImage(source)) return true;
    store.messages().warning("Failed to load data from CD image!");
    return false;
}

int refuse(const std::string& text) {
    std::cerr << "tarvo: " << text << '\n';
    return 1;
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
