// The changes window on the sample disc: the edits of players, names, squads, a formation and a
// universal edit since the last write, in words; reverting one row (or the universal edit's group)
// leaves the others; the main window opens it with its button and Ctrl+D and shows what a revert
// put back.

#include "player/universal_edit.h"
#include "records/player.h"
#include "records/team.h"
#include "support/loaded_sample_qt.h"
#include "team/ui/changes_window.h"
#include "team/ui/team_window.h"

using namespace tarvo;
using tarvo::test::child;

namespace {

// The sample with known values written (so that the list's old values are known), then edited.
struct Edited : test::LoadedSample {
    Edited() {
        const GameBlocks b = blocks();
        for (std::uint32_t id = 1; id <= 2197; ++id) {
            player.load(b, id);
            player.write(PF::Stamina, 50);
        }
        player.load(b, 123);
        player.write(PF::Speed, 72);
        writePlayerName(b, PlayerName::Full, 7, Bytes{'A', 'L', 'P', 'H', 'A'});
        setSquadId(b, 43, 3, 512);
        FormationRecord formation = readFormation(b, 9);
        formation[12] = 30;
        storeFormation(b, 9, formation);
        store.setBackups(false);
        if (!store.WriteBack()) qFatal("the sample could not be written");

        player.load(b, 123);
        player.write(PF::Speed, 80);
        writePlayerName(b, PlayerName::Full, 7, Bytes{'B', 'E', 'T', 'A'});
        setSquadId(b, 43, 3, 1040);
        formation[12] = 35;
        storeFormation(b, 9, formation);
        universalEdit(b, player, 3, UniversalMethod::Add, 5);  // ability 3: "stamina"
    }
    std::uint32_t read(std::uint32_t id, PF field) {
        player.load(blocks(), id);
        return player.read(field);
    }
};

QStringList topRows(const QTreeWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) rows << list->topLevelItem(i)->text(0);
    return rows;
}

QTreeWidgetItem* rowNamed(QTreeWidget* list, const QString& text) {
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(0) == text) return list->topLevelItem(i);
    qFatal("no row %s", qPrintable(text));
}

const QString kStamina = QStringLiteral("stamina: 2197 players");
const QString kName = QStringLiteral("player 7 full name: \"ALPHA\" -> \"BETA\"");
const QString kSpeed = QStringLiteral("player 123 speed: 72 -> 80");
const QString kFormation = QStringLiteral("team 10.Netherlands formation x 2: 30 -> 35");
const QString kSquad = QStringLiteral("team 44.Brazil slot 3 id: 512 -> 1040");

}  // namespace

class ChangesWindowTest : public QObject {
    Q_OBJECT
private slots:
    void listsEditsAndRevertsRowsOnTheirOwn() {
        Edited sample;
        gui::ChangesWindow window(sample.context);
        window.show();
        auto* list = child<QTreeWidget>(&window, "changeList");
        auto* revert = child<QPushButton>(&window, "revert");
        QCOMPARE(topRows(list), (QStringList{kStamina, kName, kSpeed, kFormation, kSquad}));
        QTreeWidgetItem* stamina = rowNamed(list, kStamina);
        QCOMPARE(stamina->childCount(), 2197);
        QCOMPARE(stamina->child(0)->text(0), QStringLiteral("player 1 stamina: 50 -> 55"));
        QCOMPARE(stamina->child(2196)->text(0), QStringLiteral("player 2197 stamina: 50 -> 55"));
        QVERIFY(!revert->isEnabled());  // nothing selected

        // One row: the speed goes back into both copies of player 123's record, nothing else does.
        rowNamed(list, kSpeed)->setSelected(true);
        QVERIFY(revert->isEnabled());
        test::click(&window, "revert");
        QCOMPARE(topRows(list), (QStringList{kStamina, kName, kFormation, kSquad}));
        QCOMPARE(sample.read(123, PF::Speed), 72u);
        QCOMPARE(sample.read(123, PF::Stamina), 55u);
        const ByteSpan parameter = sample.store.parameter(), boot = sample.store.boot();
        QVERIFY(std::equal(parameter.begin() + 112188 + 44 * 122, parameter.begin() + 112188 + 44 * 123,
                           boot.begin() + 2041052 + 44 * 122));
        QCOMPARE(readSquadId(sample.blocks(), 43, 3), 1040);

        // One player of the group, then the rest of the group as one row.
        rowNamed(list, kStamina)->child(6)->setSelected(true);
        test::click(&window, "revert");
        QCOMPARE(topRows(list), (QStringList{QStringLiteral("stamina: 2196 players"), kName, kFormation, kSquad}));
        QCOMPARE(sample.read(7, PF::Stamina), 50u);
        QCOMPARE(sample.read(8, PF::Stamina), 55u);
        list->topLevelItem(0)->setSelected(true);
        test::click(&window, "revert");
        QCOMPARE(topRows(list), (QStringList{kName, kFormation, kSquad}));
        QCOMPARE(sample.read(2197, PF::Stamina), 50u);

        // Everything: the list says so, and the blocks are what was written.
        list->selectAll();
        test::click(&window, "revert");
        QVERIFY(list->isHidden());
        QVERIFY(child<QLabel>(&window, "noChanges")->isVisible());
        QCOMPARE(child<QLabel>(&window, "noChanges")->text(),
                 QStringLiteral("No changes since the data were loaded or last written."));
        QVERIFY(!sample.store.hasUnwrittenChanges());
        test::click(&window, "close");
        QVERIFY(!window.isVisible());
    }

    // The main window's button and Ctrl+D open the list; a revert there shows in the main window.
    void mainWindowOpensItAndShowsWhatWasReverted() {
        Edited sample;
        gui::TeamWindow main(sample.context);
        main.show();
        test::pick(child<QComboBox>(&main, "teamList"), 43);
        test::pick(child<QComboBox>(&main, "squadList"), 3);
        QCOMPARE(child<QLineEdit>(&main, "playerId")->text(), QStringLiteral("1040"));

        QStringList seen;
        const auto onOpen = [&seen](bool revertSquad) {
            QTimer::singleShot(0, [&seen, revertSquad] {
                auto* changes = qobject_cast<gui::ChangesWindow*>(QApplication::activeModalWidget());
                if (!changes) return;
                auto* list = child<QTreeWidget>(changes, "changeList");
                seen = topRows(list);
                if (revertSquad) {
                    rowNamed(list, kSquad)->setSelected(true);
                    test::click(changes, "revert");
                }
                test::click(changes, "close");
            });
        };
        onOpen(false);
        test::click(&main, "changesButton");
        QCOMPARE(seen, (QStringList{kStamina, kName, kSpeed, kFormation, kSquad}));
        seen.clear();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        onOpen(true);
        QTest::keyClick(&main, Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(seen.size(), 5);
        QCOMPARE(child<QLineEdit>(&main, "playerId")->text(), QStringLiteral("512"));
        QCOMPARE(child<QComboBox>(&main, "squadList")->currentIndex(), 3);
    }
};

QTEST_MAIN(ChangesWindowTest)
#include "changes_window_gui_test.moc"
