// The main window's context menu: players exported as a spreadsheet, a spreadsheet imported after
// its changes were shown and confirmed, and a backup restored into the source and shown.

#include "records/player.h"
#include "records/team.h"
#include "support/loaded_sample_qt.h"
#include "team/ui/team_window.h"

using namespace tarvo;
using tarvo::gui::TeamWindow;
using tarvo::test::child;

namespace {

struct Shown : test::LoadedSample {
    Shown() { window.show(); }
    TeamWindow window{context};
};

// Opens the window's context menu and picks an item with the keyboard, as a user does.
void useMenu(QWidget& window, const QString& item) {
    bool found = false;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        for (QAction* action : menu->actions())
            if (action->text().remove(QLatin1Char('&')) == item) {
                menu->setActiveAction(action);
                found = true;
            }
        QTest::keyClick(menu, found ? Qt::Key_Return : Qt::Key_Escape);
    });
    const QPoint at(10, 10);
    QContextMenuEvent event(QContextMenuEvent::Keyboard, at, window.mapToGlobal(at));
    QApplication::sendEvent(&window, &event);
    if (!found) qFatal("no menu item %s", qPrintable(item));
}

void writeText(const std::filesystem::path& file, const std::string& text) {
    test::writeFile(file, Bytes(text.begin(), text.end()));
}

int speedOf(GameBlocks blocks, std::uint32_t id) {
    Player player;
    player.load(blocks, id);
    return static_cast<int>(player.read(PF::Speed));
}

}  // namespace

class SheetAndBackupTest : public QObject {
    Q_OBJECT
private slots:
    // A file of players or of team rows: the changes are listed in words and applied only after
    // the user confirms; then the window shows them and the title marks them unwritten. A bad cell
    // is named with its line and column and nothing is listed or changed.
    void importShowsTheChangesAndAppliesThemAfterConfirming() {
        for (const bool confirm : {true, false})
            for (const bool players : {true, false}) {
                Shown sample;
                sample.window.selectTeam(7);
                const int speed = speedOf(sample.blocks(), 12), newSpeed = speed == 80 ? 81 : 80;
                const int offense = readTactics(sample.blocks(), 7, 0), newOffense = offense == 15 ? 16 : 15;
                const auto file = sample.dir / "sheet.csv";
                writeText(file, players ? "id,speed\r\n12," + std::to_string(newSpeed) + "\r\n"
                                        : "row,offense\r\n7," + std::to_string(newOffense) + "\r\n");
                sample.ui.replies = {gui::toQString(file)};
                sample.ui.yes = confirm;
                useMenu(sample.window, QStringLiteral("Import players (CSV)..."));
                const QString change =
                    players ? QStringLiteral("player 12 speed: %1 -> %2").arg(speed).arg(newSpeed)
                            : QStringLiteral("team 8.France offense: %1 -> %2").arg(offense).arg(newOffense);
                QCOMPARE(sample.ui.listed, QStringList{change});
                QCOMPARE(sample.ui.titles.back(),
                         QStringLiteral("Importing sheet.csv changes these values (1). Apply the changes?"));
                if (!confirm) {
                    QVERIFY(sample.unchanged());
                    continue;
                }
                if (players) {
                    QCOMPARE(speedOf(sample.blocks(), 12), newSpeed);
                    // Player 12's record: parameter 112188 + 11 x 44 and its copy at boot 2041052 + 11 x 44.
                    for (const std::string& at : sample.changes()) {
                        const std::size_t offset = std::stoul(at.substr(at.find(' ') + 1));
                        const std::size_t first = at.starts_with("boot") ? 2041052 + 11 * 44 : 112188 + 11 * 44;
                        QVERIFY2(offset >= first && offset < first + 44, at.c_str());
                    }
                } else {
                    QCOMPARE(sample.changes(), std::vector<std::string>{"boot " + std::to_string(2140944 + 5 * 7)});
                    QCOMPARE(int(sample.store.boot()[2140944 + 5 * 7]), 5 * newOffense);
                    QCOMPARE(child<QSpinBox>(&sample.window, "tactics0")->value(), newOffense);
                }
                QCOMPARE(sample.window.windowTitle(), QString::fromLatin1(kAppName) + "*");
            }

        Shown sample;
        writeText(sample.dir / "bad.csv", "id,speed\r\n12,50\r\n13,100\r\n");
        sample.ui.replies = {gui::toQString(sample.dir / "bad.csv")};
        useMenu(sample.window, QStringLiteral("Import players (CSV)..."));
        QVERIFY(sample.ui.listed.isEmpty());
        QCOMPARE(sample.ui.messages.size(), std::size_t(1));
        QVERIFY2(sample.ui.lastText().find("line 3, column 2 (\"speed\")") != std::string::npos,
                 sample.ui.lastText().c_str());
        QVERIFY(sample.unchanged());
    }

    // The export writes every player with a header row; cancelling the file dialog writes nothing.
    void exportWritesEveryPlayer() {
        Shown sample;
        const auto file = sample.dir / "players.csv";
        useMenu(sample.window, QStringLiteral("Export players (CSV)..."));
        QVERIFY(!std::filesystem::exists(file));
        sample.ui.replies = {gui::toQString(file)};
        useMenu(sample.window, QStringLiteral("Export players (CSV)..."));
        const Bytes bytes = test::readFile(file);
        const std::string text(bytes.begin(), bytes.end());
        QVERIFY(text.starts_with("id,full name,back name,call number,"));
        QCOMPARE(std::count(text.begin(), text.end(), '\n'), 2198);
        QVERIFY(sample.unchanged());
    }

    // After a write, the backup of the files as they were is listed; with an unwritten edit the
    // window asks first whether to discard it. Restoring writes the backup's bytes into the source
    // and the window shows them; cancelling the choice changes nothing.
    void restoreBackupWritesItAndShowsIt() {
        for (const bool choose : {false, true}) {
            Shown sample;
            sample.window.selectTeam(7);
            auto* offense = child<QSpinBox>(&sample.window, "tactics0");
            const int original = offense->value();
            const std::vector<Bytes> before = sample.before;
            QTest::keyClick(offense, original == 19 ? Qt::Key_Down : Qt::Key_Up);
            test::click(&sample.window, "writeButton");
            QTest::keyClick(offense, original == 19 ? Qt::Key_Down : Qt::Key_Up);  // unwritten
            const auto written = test::fileChecksum(sample.source / "QXRT_418.27");

            sample.ui.titles.clear();
            sample.ui.yes = true;
            sample.ui.choice = choose ? 0 : -1;
            useMenu(sample.window, QStringLiteral("Restore backup..."));
            const QString source = gui::toQString(sample.source);
            QCOMPARE(sample.ui.titles.size(), std::size_t(choose ? 3 : 2));
            QCOMPARE(sample.ui.titles[0], "The changes not yet written into " + source +
                                              " would be lost. Discard them and choose a backup?");
            QCOMPARE(sample.ui.titles[1], "The backups of " + source + ", newest first:");
            QCOMPARE(sample.ui.listed.size(), 1);
            QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d "))
                        .match(sample.ui.listed[0])
                        .hasMatch());
            if (!choose) {
                QCOMPARE(test::fileChecksum(sample.source / "QXRT_418.27"), written);
                QVERIFY(sample.store.hasUnwrittenChanges());
                continue;
            }
            QVERIFY(QRegularExpression("^Restore the backup of \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d into " +
                                       QRegularExpression::escape(source) + "\\?")
                        .match(sample.ui.titles[2])
                        .hasMatch());
            QCOMPARE(test::readFile(sample.source / "QXRT_418.27"), before[0]);
            QVERIFY(sample.unchanged());  // the blocks in memory are the backup's
            QVERIFY(!sample.store.hasUnwrittenChanges());
            QCOMPARE(offense->value(), original);
            QCOMPARE(sample.window.windowTitle(), QString::fromLatin1(kAppName));
        }
    }
};

QTEST_MAIN(SheetAndBackupTest)
#include "sheet_and_backup_gui_test.moc"
