#include "app/startup_qt.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>

#include "app/source_choice_dialog.h"
#include "records/player.h"
#include "store/chd_source.h"
#include "store/cue_sheet.h"
#include "store/source_check.h"
#include "team/ui/team_window.h"
#include "ui/app_context_qt.h"
#include "ui/chd_progress_qt.h"

namespace tarvo::gui {

namespace fs = std::filesystem;

fs::path programDirectory() {
#ifdef _WIN32
    const QString executableDir = QCoreApplication::applicationDirPath();
    if (!executableDir.isEmpty() && QFileInfo(executableDir).isWritable()) return toPath(executableDir);
#endif
    // Outside the build and install folders, so that neither a clean nor an upgrade removes saved teams.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/") +
                         QString::fromLatin1(kAppName);
    QDir().mkpath(data);
    return toPath(data);
}

bool checkImage(UiServices& ui, const fs::path& image) {
    switch (checkImageFile(image)) {
    case ImageCheck::Ok: return true;
    case ImageCheck::CannotRead: ui.warning("Can not read CD image file!"); return false;
    case ImageCheck::TooSmall:
        ui.warning("File size mismatch!\n should > 700M (a cooked ISO image: 609523810 bytes)");
        return false;
    }
    return false;
}

namespace {

// The image a chosen file names (itself, the data track of a CUE sheet, or a CHD image), size-checked.
bool checkedImageSource(UiServices& ui, const fs::path& file) {
    std::string error;
    MessageLog unused;
    const auto source = openSource(file, unused, error);
    // A missing image is one that can not be read; a sheet's own fault is said as it is.
    if (!source && !isCueSheetPath(file) && !isChdPath(file)) return checkImage(ui, file);
    if (!source) ui.warning(error);
    return source && checkImage(ui, source->keyPath());
}

}  // namespace

std::optional<fs::path> ChooseImage(UiServices& ui, const fs::path& start) {
    const QString file = ui.openFile(
        QStringLiteral("open CD image file"),
        {QStringLiteral("Disc images (*.bin *.iso *.cue *.chd)"), QStringLiteral("Bin Files (*.bin)"),
         QStringLiteral("Cue Sheets (*.cue)"), QStringLiteral("CHD Images (*.chd)"), QStringLiteral("All Files (*.*)")},
        toQString(start));
    if (file.isEmpty()) {
        ui.warning("Can not work without CD image file!");
        return std::nullopt;
    }
    const fs::path chosen = toPath(file);
    if (!checkedImageSource(ui, chosen)) return std::nullopt;
    return chosen;
}

std::optional<fs::path> ChooseDirectory(UiServices& ui, const fs::path& start) {
    const QString folder =
        ui.chooseDirectory(QStringLiteral("Choose the directory of the exported files"), toQString(start),
                           [](const QString& path) { return isExportDirectory(toPath(path)); });
    if (folder.isEmpty()) return std::nullopt;
    return toPath(folder);
}

bool loadSource(DataStore& store, UiServices& ui, const fs::path& source) {
    // A journal left by an interrupted write (none of a write still running): undone on Yes; on No
    // the load refuses, naming it.
    std::string detail;
    const fs::path data = dataPathOf(source);
    const auto journal = interruptedJournalOf(data);
    if (journal && journalState(diskAccess(), *journal, detail) == JournalState::Left &&
        ui.askYesNo(QStringLiteral("An earlier write into %1 was interrupted. Undo it now?").arg(toQString(data))))
        recoverSource(data, ui);
    if (store.load(source)) return true;
    std::error_code error;
    if (store.lastFailure().kind() != FailureKind::NoSource && !fs::is_directory(source, error))
        ui.warning("Failed to load data from CD image!");
    return false;
}

bool loadSourceArgument(DataStore& store, UiServices& ui, const fs::path& source) {
    std::error_code error;
    if (fs::is_directory(source, error)) {
        if (!isExportDirectory(source)) {
            ui.warning(QStringLiteral("%1 is no folder of exported files.").arg(toQString(source)).toStdString());
            return false;
        }
        return loadSource(store, ui, source);
    }
    return checkedImageSource(ui, source) && loadSource(store, ui, source);
}

namespace {

// Runs the main window until it is closed. With TARVO_STARTUP_TIMING set, prints the time from the
// program's start to the window's first showing; set to "exit", it then closes the window; set to
// "player", it opens the player editor of the first squad slot and closes both once it is shown
// (for measuring the program's peak memory with the largest window open).
void runMainWindow(AppContext& context, std::chrono::steady_clock::time_point started) {
    TeamWindow window(context);
    context.ui.setParentWindow(&window);
    if (const char* timing = std::getenv("TARVO_STARTUP_TIMING")) {
        const std::string_view mode(timing);
        QObject::connect(&window, &TeamWindow::firstShown, &window, [started, mode, &window] {
            const auto elapsed =
                std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);
            std::fprintf(stderr, "startup: %.1f ms\n", static_cast<double>(elapsed.count()) / 1000.0);
            if (mode == "exit") QTimer::singleShot(0, &window, &QDialog::reject);
            if (mode != "player") return;
            // The editor runs its own loop; a timer started before it closes it once it is shown.
            auto* closer = new QTimer(&window);
            QObject::connect(closer, &QTimer::timeout, &window, [closer, &window] {
                for (QWidget* top : QApplication::topLevelWidgets()) {
                    if (top != &window && top->isVisible() && top->inherits("tarvo::gui::PlayerEditorWindow")) {
                        closer->stop();
                        qobject_cast<QDialog*>(top)->reject();
                        QTimer::singleShot(0, &window, &QDialog::reject);
                    }
                }
            });
            closer->start(10);
            QTimer::singleShot(0, &window, [&window] {
                for (auto* button : window.findChildren<QPushButton*>())
                    if (button->text() == QStringLiteral("edit player")) button->click();
            });
        });
    }
    // Not modal, so that the picker, a window of its own, takes clicks beside it.
    QEventLoop loop;
    QObject::connect(&window, &QDialog::finished, &loop, &QEventLoop::quit);
    window.show();
    loop.exec();
    context.ui.setParentWindow(nullptr);
}

}  // namespace

int StartUp(const QStringList& arguments, std::chrono::steady_clock::time_point started) {
    const ChdProgressShown chdProgress;
    QtUiServices ui;
    DataStore store(ui);
    Player player;
    const fs::path directory = programDirectory();

    bool loaded = false;
    if (!arguments.isEmpty()) {
        loaded = loadSourceArgument(store, ui, toPath(arguments.constFirst()));
    } else {
        SourceChoiceDialog choice;
        if (choice.exec() != QDialog::Accepted) return 0;
        if (choice.dropped()) {
            loaded = loadSourceArgument(store, ui, *choice.dropped());
        } else if (choice.choice() == SourceMode::CdImage) {
            const auto image = ChooseImage(ui, directory);
            loaded = image && loadSource(store, ui, *image);
        } else {
            const auto folder = ChooseDirectory(ui, directory);
            if (!folder) return 0;
            loaded = loadSource(store, ui, *folder);
        }
    }
    if (!loaded) {
        store.ReleaseData();
        return 1;
    }

    Document document(store);
    NameInput names;
    AppContext context{store, document, player, ui, directory, names};
    runMainWindow(context, started);
    store.ReleaseData();
    return 0;
}

}  // namespace tarvo::gui
