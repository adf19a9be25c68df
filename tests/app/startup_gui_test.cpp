// Start-up: the source-choice window, the image and folder pickers with their checks and
// messages, and a source given on the command line.
#include <QApplication>
#include <QDialogButtonBox>
#include <QTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <fstream>

#include "app/app_context_qt.h"
#include "app/source_choice_dialog.h"
#include "app/startup_qt.h"
#include "store/source_check.h"
#include "support/fake_ui_qt.h"
#include "support/sample.h"

using namespace tarvo;
namespace fs = std::filesystem;

namespace {

const Message kNoImage{"Can not work without CD image file!", kAppName, MessageKind::Warning};
const Message kCannotRead{"Can not read CD image file!", kAppName, MessageKind::Warning};
const Message kTooSmall{"File size mismatch!\n should > 700M", kAppName, MessageKind::Warning};
const Message kLoadFailed{"Failed to load data from CD image!", kAppName, MessageKind::Warning};

void makeFile(const fs::path& file, std::uintmax_t size) {
    std::ofstream(file, std::ios::binary).put('x');
    fs::resize_file(file, size);
}

// The sample image grown to the size of a disc (sparse), as the size check wants.
fs::path fullSizeImage(const test::TempDir& dir) {
    const fs::path image = test::copySampleImage(dir);
    if (fs::file_size(image) < kMinImageSize) fs::resize_file(image, kMinImageSize);
    return image;
}

}  // namespace

class StartUpTest : public QObject {
    Q_OBJECT
private slots:
    void sourceChoiceStartsOnTheImage();
    void imagePickerChecksTheFile();
    void folderPickerEnablesOnlyExportFolders();
    void commandLineSourceIsCheckedAndLoaded();
    void folderDialogOffersOkOnlyOnExportFolders();
};

void StartUpTest::sourceChoiceStartsOnTheImage() {
    for (const bool files : {false, true}) {
        gui::SourceChoiceDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Choose file to edit"));
        QVERIFY(dialog.imageButton()->isChecked());
        QVERIFY(dialog.nextButton()->isDefault());
        if (files) QTest::mouseClick(dialog.filesButton(), Qt::LeftButton);
        QVERIFY(dialog.imageButton()->isChecked() != files);
        QTest::mouseClick(dialog.nextButton(), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.choice(), files ? SourceMode::ExportedFiles : SourceMode::CdImage);
    }
    gui::SourceChoiceDialog closed;
    closed.show();
    QTest::keyClick(&closed, Qt::Key_Escape);
    QCOMPARE(closed.result(), int(QDialog::Rejected));
}

void StartUpTest::imagePickerChecksTheFile() {
    test::TempDir dir;
    makeFile(dir / "exact.bin", 700000000);
    makeFile(dir / "short.bin", 699999999);
    struct Case {
        QString reply;
        std::vector<Message> messages;
        bool chosen;
    };
    const Case cases[] = {
        {QString(), {kNoImage}, false},
        {gui::toQString(dir / "missing.bin"), {kCannotRead}, false},
        {gui::toQString(dir / "short.bin"), {kTooSmall}, false},
        {gui::toQString(dir / "exact.bin"), {}, true},
    };
    for (const Case& c : cases) {
        test::FakeUi ui;
        if (!c.reply.isEmpty()) ui.replies.push_back(c.reply);
        const auto image = gui::ChooseImage(ui, dir.path());
        QCOMPARE(image.has_value(), c.chosen);
        if (image) QCOMPARE(*image, gui::toPath(c.reply));
        QCOMPARE(ui.messages, c.messages);
        QCOMPARE(ui.openCalls.size(), std::size_t(1));
        QCOMPARE(ui.openCalls[0].title, QStringLiteral("open CD image file"));
        QCOMPARE(ui.openCalls[0].filters,
                 (QStringList{QStringLiteral("Bin Files (*.bin)"), QStringLiteral("All Files (*.*)")}));
        QCOMPARE(ui.openCalls[0].directory, gui::toQString(dir.path()));
    }
}

void StartUpTest::folderPickerEnablesOnlyExportFolders() {
    test::TempDir dir;
    const fs::path exported = test::copySampleExportDir(dir);
    fs::create_directories(dir / "partial");
    makeFile(dir / "partial" / "select.ovl", 4);
    makeFile(dir / "partial" / "QXRZ_730.56", 4);

    test::FakeUi ui;
    QVERIFY(!gui::ChooseDirectory(ui, dir.path()));  // cancelled: no message
    QVERIFY(ui.messages.empty());
    QCOMPARE(ui.folderCalls[0].title, QStringLiteral("Choose the directory of the exported files"));
    QCOMPARE(ui.folderCalls[0].directory, gui::toQString(dir.path()));
    QVERIFY(ui.folderRule(gui::toQString(exported)));
    QVERIFY(!ui.folderRule(gui::toQString(dir / "partial")));
    QVERIFY(!ui.folderRule(gui::toQString(dir.path())));

    ui.replies.push_back(gui::toQString(exported));
    QCOMPARE(gui::ChooseDirectory(ui, dir.path()), std::optional<fs::path>(exported));
}

void StartUpTest::commandLineSourceIsCheckedAndLoaded() {
    test::TempDir dir;
    {
        test::FakeUi ui;
        DataStore store(ui);
        QVERIFY(gui::loadSourceArgument(store, ui, fullSizeImage(dir)));
        QCOMPARE(store.sourceMode(), SourceMode::CdImage);
        QVERIFY(ui.messages.empty());
    }
    {
        test::FakeUi ui;
        DataStore store(ui);
        QVERIFY(gui::loadSourceArgument(store, ui, test::copySampleExportDir(dir)));
        QCOMPARE(store.sourceMode(), SourceMode::ExportedFiles);
        QVERIFY(ui.messages.empty());
    }
    {
        // A folder without the files and an image that is too short fail as the pickers do.
        test::FakeUi ui;
        DataStore store(ui);
        fs::create_directories(dir / "empty");
        QVERIFY(!gui::loadSourceArgument(store, ui, dir / "empty"));
        QVERIFY(ui.messages.empty());
        QVERIFY(!gui::loadSourceArgument(store, ui, test::sampleDir() / "exported" / "select.ovl"));
        QCOMPARE(ui.messages, std::vector<Message>{kTooSmall});
        QVERIFY(!gui::loadSourceArgument(store, ui, dir / "nothing.bin"));
        QCOMPARE(ui.messages.back(), kCannotRead);
    }
    {
        // A file of the right size that holds no disc: the reader's messages, then the load's.
        test::FakeUi ui;
        DataStore store(ui);
        makeFile(dir / "blank.bin", kMinImageSize);
        QVERIFY(!gui::loadSourceArgument(store, ui, dir / "blank.bin"));
        QVERIFY(!ui.messages.empty());
        QCOMPARE(ui.messages.back(), kLoadFailed);
        QVERIFY(!store.isLoaded());
    }
}

void StartUpTest::folderDialogOffersOkOnlyOnExportFolders() {
    test::TempDir dir;
    const fs::path exported = test::copySampleExportDir(dir);
    fs::create_directories(dir / "other");
    for (const auto& [start, enabled] : {std::pair{exported, true}, {dir / "other", false}}) {
        std::optional<bool> okEnabled;
        QTimer::singleShot(200, [&okEnabled] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog) return;
            for (auto* box : dialog->findChildren<QDialogButtonBox*>()) {
                QPushButton* ok = box->button(QDialogButtonBox::Open);
                if (ok) okEnabled = ok->isEnabled();
            }
            // Pressing Enter on a folder that breaks the rule does not close the dialog.
            if (okEnabled == false) {
                QTest::keyClick(dialog, Qt::Key_Return);
                if (!dialog->isVisible()) okEnabled.reset();
            }
            dialog->close();
        });
        gui::QtUiServices ui;
        const QString chosen = ui.chooseDirectory(QStringLiteral("Choose the directory of the exported files"),
                                                  gui::toQString(start),
                                                  [](const QString& path) { return isExportDirectory(gui::toPath(path)); });
        QVERIFY(chosen.isEmpty());
        QCOMPARE(okEnabled, std::optional<bool>(enabled));
    }
}

QTEST_MAIN(StartUpTest)
#include "startup_gui_test.moc"
