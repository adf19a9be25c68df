// Start-up: the choice of the kind of source, the image and folder pickers with their checks and
// messages, and a source given on the command line.

#include "app/source_choice_dialog.h"
#include "app/startup_qt.h"
#include "store/chd_source.h"
#include "store/data_store.h"
#include "store/journal.h"
#include "store/source_check.h"
#include "support/loaded_sample_qt.h"
#include "support/platform.h"
#include "ui/chd_progress_qt.h"

using namespace tarvo;
namespace fs = std::filesystem;

class StartUpTest : public QObject {
    Q_OBJECT
private slots:
    // "Next" (also Enter, the default button) goes on with the kind of source checked; the CD image
    // is checked at first.
    void sourceChoice() {
        for (const auto& [clicks, chosen] : {std::pair{QStringList{}, SourceMode::CdImage},
                                             {QStringList{"files"}, SourceMode::ExportedFiles},
                                             {QStringList{"files", "image"}, SourceMode::CdImage}}) {
            gui::SourceChoiceDialog dialog;
            dialog.show();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            for (const QString& radio : clicks) test::child<QRadioButton>(&dialog, radio)->click();
            clicks.size() == 1 ? test::click(&dialog, "next") : QTest::keyClick(&dialog, Qt::Key_Return);
            QVERIFY(dialog.result() == QDialog::Accepted && dialog.choice() == chosen);
        }
    }

    // A single local file or folder dropped onto the source choice is taken as chosen; anything
    // else dropped (two files, a web address, text) leaves the window open.
    void dropOntoSourceChoice() {
        const auto drop = [](gui::SourceChoiceDialog& dialog, QMimeData& data) {
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&dialog, &enter);
            QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&dialog, &event);
        };
        const QList<QUrl> refused[] = {{},
                                       {QUrl(QStringLiteral("https://example.org/disc.bin"))},
                                       {QUrl::fromLocalFile("/tmp/a.bin"), QUrl::fromLocalFile("/tmp/b.bin")}};
        for (const QList<QUrl>& urls : refused) {
            gui::SourceChoiceDialog dialog;
            dialog.show();
            QMimeData data;
            if (urls.isEmpty()) data.setText(QStringLiteral("/tmp/a.bin"));
            else data.setUrls(urls);
            drop(dialog, data);
            QVERIFY(dialog.isVisible() && !dialog.dropped());
        }
        gui::SourceChoiceDialog dialog;
        dialog.show();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/disc image.bin"))});
        drop(dialog, data);
        QVERIFY(dialog.result() == QDialog::Accepted && !dialog.isVisible());
        QCOMPARE(dialog.dropped(), std::optional<fs::path>("/tmp/disc image.bin"));
    }

    // Each source from the image picker or the command line: the result and the last message.
    void sourcesAreChecked() {
        test::TempDir dir;
        if (!test::makesHoles(dir.path())) TARVO_QSKIP("the file system makes no holes: the images would take 1.3 GB");
        const fs::path image = test::copySampleImage(dir), exported = test::copySampleExportDir(dir);
        fs::resize_file(image, kMinImageSize);       // sparse: the size of a disc
        const fs::path cooked = dir / "sample.iso";  // (the size rules: the store's source checks)
        fs::copy_file(test::sampleDir() / "sample.iso", cooked);
        fs::resize_file(cooked, 609523810);  // a cooked disc holds 2048 of each 2352 bytes
        fs::create_directories(dir / "empty");
        const std::string noRead = "Can not read CD image file!",
                          tooSmall = "File size mismatch!\n should > 700M (a cooked ISO image: 609523810 bytes)";
        const auto makeFile = [](const fs::path& file, std::uintmax_t size) {  // sparse
            return test::writeFile(file, Bytes{1}), fs::resize_file(file, size), file;
        };
        const auto makeSheet = [&dir](const std::string& name, const std::string& file) {  // a raw data track
            const std::string text = "FILE \"" + file + "\" BINARY\n TRACK 01 MODE2/2352\n  INDEX 01 00:00:00\n";
            return test::writeFile(dir / name, Bytes(text.begin(), text.end())), dir / name;
        };
        const fs::path rawSheet = makeSheet("raw.cue", "sample.bin"),
                       cookedSheet = makeSheet("cooked.cue", "sample.iso");
        const struct {
            fs::path path;
            bool picker, loaded;
            std::string message;
        } cases[] = {
            {{}, true, false, "Can not work without CD image file!"},  // the dialog cancelled
            {dir / "missing.bin", true, false, noRead},
            {makeFile(dir / "short.bin", kMinImageSize - 1), true, false, tooSmall},
            {makeFile(dir / "blank.bin", kMinImageSize), true, true, ""},
            {image, false, true, ""},
            {cooked, false, true, ""},
            {exported, false, true, ""},
            {dir / "empty", false, false, (dir / "empty").string() + " is no folder of exported files."},
            {rawSheet, true, true, ""},
            {rawSheet, false, true, ""},
            {makeSheet("short.cue", "short.bin"), false, false, tooSmall},  // the image beside it is checked
            {cookedSheet, false, false,
             "The cue sheet " + cookedSheet.string() + " says MODE2/2352, but " + cooked.string() +
                 " holds 2048-byte sectors"},
            {dir / "blank.bin", false, false, "Failed to load data from CD image!"},  // no disc in it
        };
        for (const auto& c : cases) {
            test::FakeUi ui;
            DataStore store(ui);
            if (!c.path.empty()) ui.replies.push_back(gui::toQString(c.path));
            const std::optional<fs::path> chosen = c.loaded ? std::optional(c.path) : std::nullopt;
            const bool ok = c.picker ? gui::ChooseImage(ui, dir.path()) == chosen
                                     : gui::loadSourceArgument(store, ui, c.path) == c.loaded;
            QVERIFY2(ok && store.isLoaded() == (c.loaded && !c.picker), c.path.c_str());
            if (c.picker) QCOMPARE(ui.titles, std::vector<QString>{"open CD image file"});
            // The reason last, or followed by the line that says the load failed.
            const std::string shown = ui.messages.empty() ? std::string() : ui.lastText();
            const bool reasonThenFailure = ui.messages.size() > 1 && shown == "Failed to load data from CD image!" &&
                                           ui.messages[ui.messages.size() - 2].text == c.message;
            QVERIFY2(shown == c.message || reasonThenFailure, (c.path.string() + ": " + shown).c_str());
        }
    }

    // A journal left by an interrupted write: the question names the source; No refuses the load
    // (naming the journal), Yes undoes the write and loads the source as it was before it.
    void interruptedWriteIsUndoneOnYes() {
        test::TempDir dir;
        const fs::path exported = test::copySampleExportDir(dir);
        const Bytes before = test::readFile(exported / "parameter.ovl");
        Bytes changed = before;
        changed[100] ^= 0xFF;
        // A write stopped after its data writes: the data written, the journal still there (neither
        // removed nor marked finished).
        class KeepJournal : public FileAccess {
        public:
            std::unique_ptr<OpenFile> open(const fs::path& f, OpenMode m, std::string& e) override {
                return m == OpenMode::ReadWriteNoFollow ? nullptr : diskAccess().open(f, m, e);
            }
            bool remove(const fs::path&) override { return false; }
        } stopsBeforeRemoving;
        const std::vector<RoleFile> files{{FileRole::Parameter, exported / "parameter.ovl"}};
        const std::vector<FilePatch> patch{{FileRole::Parameter, 0, changed}};
        QVERIFY(writeJournaled(stopsBeforeRemoving, journalPathOf(exported), files, patch).written);
        QVERIFY(test::readFile(exported / "parameter.ovl") == changed && fs::exists(journalPathOf(exported)));
        for (const bool yes : {false, true}) {
            test::FakeUi ui;
            ui.yes = yes;
            DataStore store(ui);
            QCOMPARE(gui::loadSourceArgument(store, ui, exported), yes);
            QCOMPARE(ui.titles, std::vector<QString>{"An earlier write into " + gui::toQString(exported) +
                                                     " was interrupted. Undo it now?"});
            if (!yes) QVERIFY(ui.lastText().find(journalPathOf(exported).string()) != std::string::npos);
        }
        QVERIFY(test::readFile(exported / "parameter.ovl") == before && !fs::exists(journalPathOf(exported)));
    }

    // chdman's progress, as it prints it, shows in a dialog without a Cancel that neither Escape
    // nor the close box closes; a step that fails (no 100) leaves it once the program waits again.
    void chdProgressDialog() {
        test::TempDir dir;
        const fs::path chdman = dir / "chdman";
        test::writeFile(chdman, test::bytesOf("#!/bin/sh\nprintf 'Extracting, 42.5%% complete... \\r' >&2\n"
                                              "printf 'Extracting, 57.3%% complete... \\r' >&2\nexit 1\n"));
        fs::permissions(chdman, fs::perms::owner_all);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QByteArray(dir.path().c_str()));
        const gui::ChdProgressShown shown;
        std::string failure;
        QVERIFY(!runChdman({"extractcd"}, "Extracting", failure));
        qputenv("PATH", path);
        auto* dialog = qobject_cast<gui::ChdProgressDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->labelText(), QStringLiteral("Extracting, 57.3% complete"));
        QCOMPARE(dialog->value(), 57);
        QVERIFY(dialog->findChildren<QPushButton*>().isEmpty());
        QTest::keyClick(dialog, Qt::Key_Escape);
        QVERIFY(!dialog->close() && dialog->isVisible());
        QTRY_VERIFY(!dialog->isVisible());
        dialog->report("Compressing", 12.0);
        QVERIFY(dialog->isVisible() && dialog->labelText() == QStringLiteral("Compressing, 12.0% complete"));
        dialog->report("Compressing", 100.0);
        QVERIFY(!dialog->isVisible());
    }

    // Two sources on the command line are refused before any window opens.
    void twoSourcesAreRefused() {
        const test::ProgramRun run = test::runCaptured(TARVO_APP_PATH, {"a.bin", "b.bin"});
        QCOMPARE(run.status, 2);
        QCOMPARE(run.err, std::string("Only one SOURCE can be opened.\nSee Tarvo_Riviza_Editor --help.\n"));
    }

    void folderRule() {
        test::TempDir dir;
        const fs::path exported = test::copySampleExportDir(dir);
        test::writeFile(dir / "select.ovl", Bytes(4));  // one file of three
        test::FakeUi ui;
        QVERIFY(!gui::ChooseDirectory(ui, dir.path()) && ui.messages.empty());  // cancelled: no message
        QCOMPARE(ui.titles, std::vector<QString>{"Choose the directory of the exported files"});
        QVERIFY(ui.folderRule(gui::toQString(exported)) && !ui.folderRule(gui::toQString(dir.path())));
        // The real dialog offers its button only on a folder of exported files; Enter does not pass.
        for (const auto& [start, enabled] : {std::pair{exported, true}, {dir.path(), false}}) {
            // The dialog lists folders in the background: wait for its button to follow the rule.
            bool followed = false, passedEnter = false;
            int ticks = 0;
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, [&, enabled = enabled] {
                QWidget* dialog = QApplication::activeModalWidget();
                if (!dialog) return;
                for (auto* box : dialog->findChildren<QDialogButtonBox*>())
                    if (QPushButton* ok = box->button(QDialogButtonBox::Open)) followed |= ok->isEnabled() == enabled;
                if (!followed && ++ticks < 200) return;
                if (followed && !enabled) {
                    QTest::keyClick(dialog, Qt::Key_Return);
                    passedEnter = !dialog->isVisible();
                }
                dialog->close();
            });
            poll.start(25);
            const auto rule = [](const QString& path) { return isExportDirectory(gui::toPath(path)); };
            QVERIFY(gui::QtUiServices().chooseDirectory("folder", gui::toQString(start), rule).isEmpty());
            QVERIFY(followed && !passedEnter);
        }
    }
};

QTEST_MAIN(StartUpTest)
#include "startup_gui_test.moc"
