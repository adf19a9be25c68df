// The team editor window on the sample disc: what each kind of team shows and enables, what each
// control stores (and that nothing else is stored), the write button and the team file buttons.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "records/player.h"
#include "records/team.h"
#include "store/team_table.h"
#include "support/loaded_sample_qt.h"
#include "team/formation_window.h"
#include "team/team_file.h"
#include "team/squad_entry.h"
#include "team/team_window.h"
#include "text/glyph_row_widget.h"
#include "text/name_field_widget.h"
#include "text/sjis.h"

using namespace tarvo;
using tarvo::gui::TeamWindow;

namespace {

template <typename T>
T* child(QWidget& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found) qFatal("no control %s", name);
    return found;
}

// Pixels of the tactics bar colour in one pixel row of a picture.
int barPixelsInRow(const QImage& image, int y) {
    int count = 0;
    for (int x = 0; x < image.width(); ++x)
        if (image.pixelColor(x, y) == QColor(0, 128, 255)) ++count;
    return count;
}

// Types a text one character at a time (QTest::keyClicks takes Latin-1 only).
void typeText(QWidget* widget, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text.mid(i, length), Qt::NoModifier);
        i += length - 1;
    }
}

QString nameText(const Bytes& bytes) { return QString::fromStdString(decodeShiftJis(bytes)); }

// Closes the next modal window as soon as it runs.
void closeNextModal() {
    QTimer::singleShot(0, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
}

}  // namespace

class TeamWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startsOnTheFirstTeam();
    void showsEachKindOfTeam_data();
    void showsEachKindOfTeam();
    void nationalTeamAfterDefaultRowEnablesItsNames();
    void tacticsArrowStoresAndWidensTheBar();
    void setPieceListsStoreTheChosenTaker();
    void changeIdFollowsTheSlotRules();
    void nameFieldsCountEncodedBytes();
    void clubNameGoesIntoBothCopies();
    void nameWithoutShiftJisBytesIsEditedWithoutComplaint();
    void showingAndOpeningWindowsWritesNothing();
    void writeButtonReportsEachOutcome();
    void savedTeamLoadsBackIntoItsRow();
    void editPlayerRebuildsTheSquadEntry();
};

void TeamWindowTest::startsOnTheFirstTeam() {
    test::LoadedSample sample;
    QVERIFY(sample.loaded);
    TeamWindow window(sample.context);
    auto* teams = child<QComboBox>(window, "teamList");
    auto* squad = child<QComboBox>(window, "squadList");
    QCOMPARE(teams->count(), 106);
    QCOMPARE(teams->currentText(), QStringLiteral("1.Ireland"));
    QCOMPARE(teams->itemText(105), QStringLiteral("106.Default ML"));
    QCOMPARE(squad->count(), 23);
    QCOMPARE(squad->currentIndex(), 0);
    const std::uint16_t id = readSquadId(sample.store.blocks(), 0, 0);
    QCOMPARE(squad->currentText(),
             QStringLiteral("1. ") + nameText(readPlayerName(sample.store.blocks(), PlayerName::Full, id)));
    QCOMPARE(child<QLineEdit>(window, "playerId")->text(), QString::number(id));
    QCOMPARE(window.windowTitle(), QStringLiteral("Tarvo_Riviza_Editor"));
    QVERIFY(child<QPushButton>(window, "writeButton")->isDefault());
}

void TeamWindowTest::showsEachKindOfTeam_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("squadSlots");
    QTest::addColumn<bool>("tactics");
    QTest::addColumn<bool>("names");
    QTest::addColumn<bool>("club");
    QTest::newRow("national 44.Brazil") << 43 << 23 << true << true << false;
    QTest::newRow("national 65.Classic Argentina") << 64 << 23 << true << true << false;
    QTest::newRow("club 66.Celtic") << 65 << 40 << true << true << true;
    QTest::newRow("club 105.Boca Juniors") << 104 << 40 << true << true << true;
    QTest::newRow("106.Default ML") << 105 << 40 << false << false << false;
}

void TeamWindowTest::showsEachKindOfTeam() {
    QFETCH(int, row);
    QFETCH(int, squadSlots);
    QFETCH(bool, tactics);
    QFETCH(bool, names);
    QFETCH(bool, club);
    test::LoadedSample sample;
    TeamWindow window(sample.context);
    child<QComboBox>(window, "teamList")->setCurrentIndex(row);
    const GameBlocks blocks = sample.store.blocks();

    QCOMPARE(window.shownRow(), row);
    QCOMPARE(child<QComboBox>(window, "squadList")->count(), squadSlots);
    for (int k = 0; k < kTacticsCount; ++k) {
        auto* field = child<QSpinBox>(window, QStringLiteral("tactics%1").arg(k).toLatin1().constData());
        QCOMPARE(field->isEnabled(), tactics);
        if (tactics) QCOMPARE(field->value(), std::clamp(readTacticsByte(blocks, row, k) / 5, 4, 19));
        QCOMPARE(window.tacticsBarRect(k).isEmpty(), !tactics);
    }
    QCOMPARE(child<QPushButton>(window, "editFormation")->isEnabled(), tactics);
    QCOMPARE(child<QLineEdit>(window, "teamName")->isEnabled(), names);
    QCOMPARE(child<QLineEdit>(window, "shortName")->isEnabled(), names);
    QCOMPARE(child<QLineEdit>(window, "clubName")->isEnabled(), club);
    QCOMPARE(child<QLineEdit>(window, "teamName")->text(), nameText(readTeamName(blocks, row)));
    QCOMPARE(child<QLineEdit>(window, "clubName")->text(), nameText(readClubName(blocks, row)));
    QCOMPARE(child<QLineEdit>(window, "shortName")->text(), nameText(readShortName(blocks, row)));
    for (int k = 0; k < kSetPieceCount; ++k) {
        auto* list = child<QComboBox>(window, QStringLiteral("setPiece%1").arg(k).toLatin1().constData());
        QVERIFY(list->isEnabled());
        QCOMPARE(list->count(), 11);
        QCOMPARE(list->itemText(10), QStringLiteral("Player_11"));
        QCOMPARE(list->currentIndex(), readSetPiece(blocks, row, k));
    }
    // Without tactics no bar is painted at all.
    window.show();
    const QImage picture = window.grab().toImage();
    bool anyBar = false;
    for (int y = 0; y < picture.height() && !anyBar; y += 2) anyBar = barPixelsInRow(picture, y) > 0;
    QCOMPARE(anyBar, tactics);
    QVERIFY(sample.unchanged());
}

void TeamWindowTest::nationalTeamAfterDefaultRowEnablesItsNames() {
    test::LoadedSample sample;
    TeamWindow window(sample.context);
    auto* teams = child<QComboBox>(window, "teamList");
    teams->setCurrentIndex(105);
    teams->setCurrentIndex(3);
    QVERIFY(child<QLineEdit>(window, "teamName")->isEnabled());
    QVERIFY(child<QLineEdit>(window, "shortName")->isEnabled());
    QVERIFY(!child<QLineEdit>(window, "clubName")->isEnabled());
    // The national teams show the two-byte slot at parameter offset 48.
    const ByteSpan slot = sample.store.parameter().subspan(48, 2);
    Bytes text(slot.begin(), slot.end());
    text.erase(std::find(text.begin(), text.end(), 0), text.end());
    QCOMPARE(child<QLineEdit>(window, "clubName")->text(), nameText(text));
    QVERIFY(child<QSpinBox>(window, "tactics0")->isEnabled());
    QVERIFY(child<QPushButton>(window, "editFormation")->isEnabled());
    // An empty club slot disables the player controls; a national team enables them again.
    teams->setCurrentIndex(70);
    const GameBlocks blocks = sample.store.blocks();
    QVERIFY(!setSquadId(blocks, 70, 30, 0));
    teams->setCurrentIndex(3);
    teams->setCurrentIndex(70);
    child<QComboBox>(window, "squadList")->setCurrentIndex(30);
    QVERIFY(!child<QPushButton>(window, "editPlayer")->isEnabled());
    QVERIFY(!child<QSpinBox>(window, "shirt")->isEnabled());
    teams->setCurrentIndex(3);
    QVERIFY(child<QPushButton>(window, "editPlayer")->isEnabled());
    QVERIFY(child<QSpinBox>(window, "shirt")->isEnabled());
}

void TeamWindowTest::tacticsArrowStoresAndWidensTheBar() {
    test::LoadedSample sample;
    const std::size_t offense = blockmap::kTacticsOffset + 5 * 7;  // row 7, offense
    sample.store.blocks().boot[offense] = 72;                      // shown as 14
    sample.snapshot();
    TeamWindow window(sample.context);
    window.selectTeam(7);
    window.show();
    auto* field = child<QSpinBox>(window, "tactics0");
    QCOMPARE(field->value(), 14);
    QVERIFY(sample.unchanged());  // 72 is not rewritten as 70 by showing it

    const QRect before = window.tacticsBarRect(0);
    QCOMPARE(before.width(), 70);
    QCOMPARE(before.left(), field->geometry().left() + 1 + 50);
    // The bar is filled between its black outlines.
    QCOMPARE(barPixelsInRow(window.grab().toImage(), before.center().y()), 68);

    QTest::keyClick(field, Qt::Key_Up);
    QCOMPARE(field->value(), 15);
    QCOMPARE(int(sample.store.boot()[offense]), 75);
    QCOMPARE(window.tacticsBarRect(0).width(), 75);
    QCOMPARE(barPixelsInRow(window.grab().toImage(), before.center().y()), 73);
    QCOMPARE(sample.changes(), std::vector<std::string>{"boot " + std::to_string(offense)});

    // At the top of the range the arrow stops at 19: 95 stored, a 95-pixel bar.
    for (int i = 0; i < 10; ++i) QTest::keyClick(field, Qt::Key_Up);
    QCOMPARE(int(sample.store.boot()[offense]), 95);
    QCOMPARE(window.tacticsBarRect(0).width(), 95);
    for (int i = 0; i < 20; ++i) QTest::keyClick(field, Qt::Key_Down);
    QCOMPARE(int(sample.store.boot()[offense]), 20);
}

void TeamWindowTest::setPieceListsStoreTheChosenTaker() {
    test::LoadedSample sample;
    TeamWindow window(sample.context);
    window.selectTeam(80);
    window.show();
    for (int k = 0; k < kSetPieceCount; ++k) {
        auto* list = child<QComboBox>(window, QStringLiteral("setPiece%1").arg(k).toLatin1().constData());
        const int before = list->currentIndex();
        QTest::keyClick(list, before == 10 ? Qt::Key_Up : Qt::Key_Down);
        const int chosen = before == 10 ? 9 : before + 1;
        QCOMPARE(list->currentIndex(), chosen);
        QCOMPARE(int(sample.store.boot()[blockmap::kSetPiecesOffset + 6 * 80 + k]), chosen);
    }
    // Only the six bytes of row 80 changed.
    const auto changes = sample.changes();
    QCOMPARE(changes.size(), std::size_t(6));
    for (int k = 0; k < kSetPieceCount; ++k)
        QCOMPARE(changes[k], "boot " + std::to_string(blockmap::kSetPiecesOffset + 6 * 80 + k));
}

void TeamWindowTest::changeIdFollowsTheSlotRules() {
    test::LoadedSample sample;
    TeamWindow window(sample.context);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto* id = child<QLineEdit>(window, "playerId");
    auto* change = child<QPushButton>(window, "changeId");
    auto* squad = child<QComboBox>(window, "squadList");
    const GameBlocks blocks = sample.store.blocks();

    struct Case {
        int row, slot;
        QString typed;
        const char* refusal;  // nullptr: accepted
    };
    const Case cases[] = {
        {0, 0, "0", "ID should be 1--2197"},    {0, 5, "2198", "ID should be 1--2197"},
        {0, 5, "", "ID should be 1--2197"},     {0, 5, "99999999999", "ID should be 1--2197"},
        {70, 22, "0", "ID should be 1--2197"},  {70, 23, "2198", "ID should be 0--2197"},
        {0, 5, "2197", nullptr},                {70, 23, "0", nullptr},
        {105, 39, "1", nullptr},
    };
    for (const Case& c : cases) {
        window.selectTeam(c.row);
        squad->setCurrentIndex(c.slot);
        const std::uint16_t before = readSquadId(blocks, c.row, c.slot);
        sample.snapshot();
        sample.ui.messages.clear();
        id->setText(c.typed);
        QTest::mouseClick(change, Qt::LeftButton);
        const QString trace = QStringLiteral("row %1 slot %2 text '%3'").arg(c.row).arg(c.slot).arg(c.typed);
        if (c.refusal) {
            QVERIFY2(sample.ui.messages.size() == 1, qPrintable(trace));
            QCOMPARE(sample.ui.messages[0], (Message{c.refusal, kAppName, MessageKind::Warning}));
            QVERIFY2(sample.unchanged(), qPrintable(trace));
            QCOMPARE(readSquadId(blocks, c.row, c.slot), before);
            QCOMPARE(QApplication::focusWidget(), id);
        } else {
            QVERIFY2(sample.ui.messages.empty(), qPrintable(trace));
            QCOMPARE(int(readSquadId(blocks, c.row, c.slot)), c.typed.toInt());
            QCOMPARE(squad->currentIndex(), c.slot);
            QCOMPARE(squad->currentText(),
                     nameText(squadEntryText(blocks, c.row, c.slot)));
        }
    }
    // The national squad's copy in the boot file follows; a club slot emptied reads "empty position".
    QCOMPARE(int(readU16LE(sample.store.boot(), blockmap::kNationalSquadCopyOffset + 10).value()), 2197);
    window.selectTeam(70);
    squad->setCurrentIndex(23);
    QCOMPARE(squad->currentText(), QStringLiteral("24. empty position"));
    QVERIFY(!child<QPushButton>(window, "editPlayer")->isEnabled());
    QVERIFY(!child<QSpinBox>(window, "shirt")->isEnabled());
}

void TeamWindowTest::nameFieldsCountEncodedBytes() {
    test::LoadedSample sample;
    TeamWindow window(sample.context);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto* name = child<gui::NameField>(window, "teamName");
    const MutableByteSpan slot = teamNameSlot(sample.store.blocks(), 0);  // 16 bytes: 15 of text
    QCOMPARE(slot.size(), std::size_t(16));

    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("ABCDEFGHIJKLMNOPQ"));
    QCOMPARE(name->text(), QStringLiteral("ABCDEFGHIJKLMNO"));
    QCOMPARE(Bytes(slot.begin(), slot.end()), (Bytes{'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L',
                                                     'M', 'N', 'O', 0}));

    // Seven two-byte characters take 14 bytes; an eighth would need 16, a Latin letter fits.
    name->selectAll();
    typeText(name, QStringLiteral("あいうえおかきく"));
    QCOMPARE(name->text(), QStringLiteral("あいうえおかき"));
    QTest::keyClicks(name, QStringLiteral("Z"));
    const Bytes expected = encodeShiftJis("あいうえおかきZ").bytes;
    QCOMPARE(expected.size(), std::size_t(15));
    QCOMPARE(Bytes(slot.begin(), slot.begin() + 15), expected);
    QCOMPARE(int(slot[15]), 0);
    // Its glyph row shows the seven characters.
    QCOMPARE(child<gui::GlyphRowBox>(window, "teamNameGlyphs")->glyphs().size(), std::size_t(7));

    // A character without a Shift-JIS code is refused, and the user is told why.
    const Bytes before(slot.begin(), slot.end());
    sample.ui.messages.clear();
    name->end(false);
    name->backspace();
    typeText(name, QString::fromUtf8("\xF0\x9F\x98\x80"));  // U+1F600
    QCoreApplication::processEvents();
    QCOMPARE(name->text(), QStringLiteral("あいうえおかき"));
    QVERIFY(!sample.ui.messages.empty());
    QCOMPARE(sample.ui.messages.back().text, refusalMessage(U'\U0001F600'));
    QCOMPARE(Bytes(slot.begin(), slot.begin() + 14), Bytes(before.begin(), before.begin() + 14));

    auto* shortName = child<gui::NameField>(window, "shortName");
    shortName->selectAll();
    QTest::keyClicks(shortName, QStringLiteral("WXYZ"));
    QCOMPARE(shortName->text(), QStringLiteral("WXY"));
    const MutableByteSpan shortSlot = shortNameSlot(sample.store.blocks(), 0);
    QCOMPARE(Bytes(shortSlot.begin(), shortSlot.end()), (Bytes{'W', 'X', 'Y', 0}));
}

void TeamWindowTest::clubNameGoesIntoBothCopies() {
    test::LoadedSample sample;
    TeamWindow window(sample.context);
    window.selectTeam(104);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto* club = child<gui::NameField>(window, "clubName");
    club->selectAll();
    QTest::keyClicks(club, QStringLiteral("Club Atletico Boca Jrs X"));  // 24 letters: 20 fit
    QCOMPARE(club->text(), QStringLiteral("Club Atletico Boca J"));
    const Bytes expected = encodeShiftJis("Club Atletico Boca J").bytes;
    for (std::size_t copy : {227324u, 227389u}) {
        const ByteSpan slot = sample.store.parameter().subspan(copy, 21);
        QCOMPARE(Bytes(slot.begin(), slot.begin() + 20), expected);
        QCOMPARE(int(slot[20]), 0);
    }
    // Nothing but the two slots changed.
    for (const std::string& change : sample.changes()) {
        QVERIFY2(change.rfind("parameter ", 0) == 0, change.c_str());
        const std::size_t offset = std::stoul(change.substr(10));
        QVERIFY2((offset >= 227324 && offset < 227345) || (offset >= 227389 && offset < 227410), change.c_str());
    }
}

void TeamWindowTest::nameWithoutShiftJisBytesIsEditedWithoutComplaint() {
    test::LoadedSample sample;
    const MutableByteSpan slot = teamNameSlot(sample.store.blocks(), 2);
    const Bytes odd = {0xFF, 'A', 'B', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    std::copy(odd.begin(), odd.end(), slot.begin());
    sample.snapshot();
    TeamWindow window(sample.context);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.selectTeam(2);
    auto* name = child<gui::NameField>(window, "teamName");
    name->setFocus();
    name->end(false);
    QTest::keyClicks(name, QStringLiteral("C"));
    child<QLineEdit>(window, "playerId")->setFocus();  // focus leaves the field
    QCoreApplication::processEvents();
    QVERIFY(sample.ui.messages.empty());
    QVERIFY(sample.unchanged());  // not stored while the odd byte is there
    name->home(false);
    QTest::keyClick(name, Qt::Key_Delete);
    QCOMPARE(name->text(), QStringLiteral("ABC"));
    QCOMPARE(Bytes(slot.begin(), slot.begin() + 4), (Bytes{'A', 'B', 'C', 0}));
    QVERIFY(sample.ui.messages.empty());
}

void TeamWindowTest::showingAndOpeningWindowsWritesNothing() {
    test::LoadedSample sample;
    {
        TeamWindow window(sample.context);
        window.show();
        auto* teams = child<QComboBox>(window, "teamList");
        auto* squad = child<QComboBox>(window, "squadList");
        for (int row = 0; row < 106; ++row) {
            teams->setCurrentIndex(row);
            for (int slot = 0; slot < squad->count(); slot += 7) squad->setCurrentIndex(slot);
        }
        teams->setCurrentIndex(12);
        QTest::mouseClick(child<QPushButton>(window, "pickerButton"), Qt::LeftButton);
        QVERIFY(window.picker());
        window.picker()->close();
        closeNextModal();
        QTest::mouseClick(child<QPushButton>(window, "editFormation"), Qt::LeftButton);
        closeNextModal();
        QTest::mouseClick(child<QPushButton>(window, "editPlayer"), Qt::LeftButton);
        closeNextModal();
        QTest::mouseClick(child<QPushButton>(window, "universalButton"), Qt::LeftButton);
        QCoreApplication::processEvents();
        QTest::mouseClick(child<QPushButton>(window, "close"), Qt::LeftButton);
        QVERIFY(!window.isVisible());
    }
    QVERIFY(sample.unchanged());
    QVERIFY(sample.ui.messages.empty());
}

void TeamWindowTest::writeButtonReportsEachOutcome() {
    {
        // Exported files: written back unchanged when nothing was edited.
        test::LoadedSample sample;
        const auto before = test::fileChecksum(sample.source / "parameter.ovl");
        TeamWindow window(sample.context);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_Return);  // the default button
        QCOMPARE(sample.ui.messages, (std::vector<Message>{{"OK!", kAppName, MessageKind::Information}}));
        QCOMPARE(test::fileChecksum(sample.source / "parameter.ovl"), before);
    }
    {
        // CD image: an edit reaches the image.
        test::LoadedSample sample(SourceMode::CdImage);
        QVERIFY(sample.loaded);
        TeamWindow window(sample.context);
        window.show();
        QTest::keyClick(child<QSpinBox>(window, "tactics1"), Qt::Key_Down);
        const auto before = test::fileChecksum(sample.source);
        QTest::mouseClick(child<QPushButton>(window, "writeButton"), Qt::LeftButton);
        QCOMPARE(sample.ui.messages.back(), (Message{"OK!", kAppName, MessageKind::Information}));
        QVERIFY(test::fileChecksum(sample.source) != before);
    }
    {
        // A file that cannot be written: the failure is reported, not success.
        test::LoadedSample sample;
        std::filesystem::remove(sample.source / "select.ovl");
        TeamWindow window(sample.context);
        QTest::mouseClick(child<QPushButton>(window, "writeButton"), Qt::LeftButton);
        QCOMPARE(sample.ui.messages.back(),
                 (Message{"Failed to save data to exported files!", kAppName, MessageKind::Warning}));
    }
    {
        test::LoadedSample sample(SourceMode::CdImage);
        std::filesystem::remove(sample.source);
        TeamWindow window(sample.context);
        QTest::mouseClick(child<QPushButton>(window, "writeButton"), Qt::LeftButton);
        QCOMPARE(sample.ui.messages.back(),
                 (Message{"Failed to save data to CD image!", kAppName, MessageKind::Warning}));
    }
}

void TeamWindowTest::savedTeamLoadsBackIntoItsRow() {
    test::LoadedSample sample;
    TeamWindow window(sample.context);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.selectTeam(70);
    QTest::mouseClick(child<QPushButton>(window, "saveTeam"), Qt::LeftButton);
    const std::filesystem::path file = sample.dir / "team070.dat";
    QCOMPARE(sample.ui.messages.back(),
             (Message{"OK, team data saved as \n" + file.string(), kAppName, MessageKind::Information}));
    QVERIFY(std::filesystem::exists(file));
    const Bytes saved(sample.store.boot().begin(), sample.store.boot().end());

    // Change the row through the window, then show another team and load the file.
    QTest::keyClick(child<QSpinBox>(window, "tactics2"), Qt::Key_Up);
    auto* name = child<gui::NameField>(window, "teamName");
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("Changed"));
    QVERIFY(!sample.changes().empty());
    window.selectTeam(3);
    sample.ui.replies.push_back(gui::toQString(file));
    QTest::mouseClick(child<QPushButton>(window, "loadTeam"), Qt::LeftButton);

    QCOMPARE(sample.ui.openCalls.size(), std::size_t(1));
    QCOMPARE(sample.ui.openCalls[0].title, QStringLiteral("open team data file"));
    QCOMPARE(sample.ui.openCalls[0].filters,
             (QStringList{QStringLiteral("dat Files (*.dat)"), QStringLiteral("All Files (*.*)")}));
    QCOMPARE(sample.ui.openCalls[0].directory, gui::toQString(sample.dir.path()));
    QCOMPARE(sample.ui.messages.back(), (Message{"data of team 071 load OK.", kAppName, MessageKind::Information}));
    QCOMPARE(window.shownRow(), 70);
    QCOMPARE(child<QComboBox>(window, "teamList")->currentIndex(), 70);
    QCOMPARE(name->text(), nameText(readTeamName(sample.store.blocks(), 70)));
    QVERIFY(Bytes(sample.store.boot().begin(), sample.store.boot().end()) == saved);
    QVERIFY(sample.unchanged());

    // Cancelling the dialog changes nothing and says nothing.
    const std::size_t shown = sample.ui.messages.size();
    QTest::mouseClick(child<QPushButton>(window, "loadTeam"), Qt::LeftButton);
    QCOMPARE(sample.ui.messages.size(), shown);
}

void TeamWindowTest::editPlayerRebuildsTheSquadEntry() {
    test::LoadedSample sample;
    TeamWindow window(sample.context);
    window.show();
    auto* squad = child<QComboBox>(window, "squadList");
    squad->setCurrentIndex(4);
    const std::uint16_t id = readSquadId(sample.store.blocks(), 0, 4);
    // The name changes while the window shows the old one (as the player editor would change it).
    const std::uint8_t newName[] = {'N', 'e', 'w', ' ', 0x82, 0xA0};
    QVERIFY(writePlayerName(sample.store.blocks(), PlayerName::Full, id, newName));
    QCOMPARE(squad->itemText(4).left(3), QStringLiteral("5. "));
    QVERIFY(squad->itemText(4) != QStringLiteral("5. New あ"));
    closeNextModal();
    QTest::mouseClick(child<QPushButton>(window, "editPlayer"), Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(squad->currentIndex(), 4);
    QCOMPARE(squad->itemText(4), QStringLiteral("5. New あ"));
    QCOMPARE(child<gui::GlyphRowBox>(window, "playerNameGlyphs")->glyphs().size(), std::size_t(1));
}

QTEST_MAIN(TeamWindowTest)
#include "team_window_gui_test.moc"
