#pragma once
// A private copy of the sample disc, loaded into a store, with the fake dialogs and the context
// that every window takes. Header-only: the support library itself has no Qt.

#include <filesystem>

#include "app/app_context_qt.h"
#include "records/player.h"
#include "store/data_store.h"
#include "support/fake_ui_qt.h"
#include "support/sample.h"

namespace tarvo::test {

struct LoadedSample {
    explicit LoadedSample(SourceMode mode = SourceMode::ExportedFiles) {
        if (mode == SourceMode::CdImage) {
            source = copySampleImage(dir);
            loaded = store.LoadFromImage(source);
        } else {
            source = copySampleExportDir(dir);
            loaded = store.LoadFromDirectory(source);
        }
        snapshot();
    }

    // Remembers the blocks as they are now; unchanged() compares with them byte for byte.
    void snapshot() {
        boot.assign(store.boot().begin(), store.boot().end());
        parameter.assign(store.parameter().begin(), store.parameter().end());
        select.assign(store.select().begin(), store.select().end());
    }
    bool unchanged() const {
        return Bytes(store.boot().begin(), store.boot().end()) == boot &&
               Bytes(store.parameter().begin(), store.parameter().end()) == parameter &&
               Bytes(store.select().begin(), store.select().end()) == select;
    }
    // The offsets of the bytes that differ from the snapshot, per block ("boot 123").
    std::vector<std::string> changes() const {
        std::vector<std::string> result;
        const auto compare = [&result](const char* name, ByteSpan now, const Bytes& before) {
            for (std::size_t i = 0; i < now.size() && i < before.size(); ++i)
                if (now[i] != before[i]) result.push_back(std::string(name) + " " + std::to_string(i));
        };
        compare("boot", store.boot(), boot);
        compare("parameter", store.parameter(), parameter);
        compare("select", store.select(), select);
        return result;
    }

    TempDir dir;
    FakeUi ui;
    DataStore store{ui};
    Player player;
    std::filesystem::path source;
    bool loaded = false;
    gui::AppContext context{store, player, ui, dir.path()};
    Bytes boot, parameter, select;
};

}  // namespace tarvo::test
