// screenshots SAMPLE_DIR OUTPUT_DIR: renders every window on the sample disc (SAMPLE_DIR/sample.bin)
// into OUTPUT_DIR/*.png. Run it on the offscreen platform.
#include <cstdio>

#include <QApplication>
#include <QWidget>

#include "records/player.h"
#include "shots.h"
#include "store/data_store.h"

namespace tarvo::shots {

bool ShotContext::save(QWidget& window, const std::string& name) {
    window.show();
    QApplication::processEvents();
    const std::filesystem::path file = outputDirectory / (name + ".png");
    const bool saved = window.grab().save(gui::toQString(file), "PNG");
    if (!saved) {
        std::fprintf(stderr, "could not write %s\n", file.string().c_str());
        ++failures;
    } else {
        std::printf("%s\n", file.string().c_str());
    }
    return saved;
}

}  // namespace tarvo::shots

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: screenshots SAMPLE_DIR OUTPUT_DIR\n");
        return 2;
    }
    tarvo::shots::SilentUi ui;
    tarvo::DataStore store(ui);
    if (!store.LoadFromImage(std::filesystem::path(argv[1]) / "sample.bin")) {
        std::fprintf(stderr, "could not load %s/sample.bin\n", argv[1]);
        return 1;
    }
    tarvo::Player player;
    std::error_code error;
    std::filesystem::create_directories(argv[2], error);
    tarvo::gui::Document document(store);
    tarvo::gui::NameInput names;
    tarvo::gui::AppContext context{store, document, player, ui, std::filesystem::path(argv[2]), names};
    tarvo::shots::ShotContext shots{context, argv[2]};
    tarvo::shots::renderTeamWindows(shots);
    tarvo::shots::renderPlayerWindows(shots);
    tarvo::shots::renderOutOfRangeValues(shots);
    return shots.failures == 0 ? 0 : 1;
}
