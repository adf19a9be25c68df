// The team editor window on the sample disc: what each kind of team shows and enables, what each
// control stores (and that nothing else is stored), the write button and the team file buttons.

#include "records/player.h"
#include "records/team.h"
#include "support/loaded_sample_qt.h"
#include "team/squad_entry.h"
#include "team/ui/find_player_window.h"
#include "team/ui/team_window.h"
#include "text/sjis.h"
#include "ui/name_field_widget.h"

using namespace tarvo;
using tarvo::gui::TeamWindow;
using tarvo::test::child;

static QString nameText(const Bytes& bytes) { return QString::fromStdString(decodeShiftJis(bytes)); }

// How wide each tactics bar is drawn, outline included, on its field's middle row: from the
// field's right edge to the middle of the window, where the left column ends.
static std::vector<int> barWidths(QWidget& window) {
    const QImage image = window.grab().toImage();
    std::vector<int> widths;
    for (int k = 0; k < kTacticsCount; ++k) {
        const QRect field = child<QSpinBox>(&window, QStringLiteral("tactics%1").arg(k))->geometry();
        int first = -1, last = -1;
        for (int x = field.right() + 1; x < image.width() / 2; ++x) {
            const QRgb pixel = image.pixel(x, field.center().y());
            if (pixel != qRgb(0, 0, 0) && pixel != qRgb(0, 128, 255)) continue;  // outline, fill
            if (first < 0) first = x;
            last = x;
        }
        widths.push_back(first < 0 ? 0 : last - first + 1);
    }
    return widths;
}

// The sample loaded, and the team window shown on it.
struct Shown : test::LoadedSample {
    explicit Shown(SourceMode mode = SourceMode::ExportedFiles) : LoadedSample(mode) { window.show(); }
    TeamWindow window{context};
};

class TeamWindowTest : public QObject {
    Q_OBJECT
private slots:
    // National, classic national, club and default rows, each after a row of another kind: what
    // the last team enabled must not linger. Showing writes nothing.
    void showsEachKindOfTeam() {
        Shown sample;
        auto* teams = child<QComboBox>(&sample.window, "teamList");
        const GameBlocks blocks = sample.blocks();
        for (const auto& [row, title] : {std::pair{105, "106.Default ML"},
                                         {0, "1.Ireland"},
                                         {104, "105.Boca Juniors"},
                                         {64, "65.Classic Argentina"},
                                         {105, "106.Default ML"},
                                         {104, "105.Boca Juniors"}}) {
            test::pick(teams, row);
            const bool tactics = row != 105, club = row > 64 && tactics;
            QCOMPARE(teams->currentText(), QString(title));
            QCOMPARE(child<QComboBox>(&sample.window, "squadList")->count(), row > 64 ? 40 : 23);
            const std::vector<int> bars = barWidths(sample.window);
            for (int k = 0; k < kTacticsCount; ++k) {
                auto* field = child<QSpinBox>(&sample.window, QStringLiteral("tactics%1").arg(k));
                QCOMPARE(field->isEnabled(), tactics);
                QCOMPARE(bars[k], tactics ? 5 * field->value() : 0);  // five pixels a unit
                if (tactics) QCOMPARE(field->value(), std::clamp(readTacticsByte(blocks, row, k) / 5, 4, 19));
            }
            for (const auto& [name, enabled] : {std::pair{"editFormation", tactics},
                                                {"teamName", tactics},
                                                {"shortName", tactics},
                                                {"clubName", club},
                                                {"editPlayer", true}})
                QVERIFY2(child<QWidget>(&sample.window, name)->isEnabled() == enabled, name);
            QCOMPARE(child<QLineEdit>(&sample.window, "teamName")->text(), nameText(readTeamName(blocks, row)));
        }
        // Browsing every team and player and opening every window without a change writes nothing.
        auto* squad = child<QComboBox>(&sample.window, "squadList");
        for (int row = 0; row < 106; ++row) {
            test::pick(teams, row);
            for (int slot = 0; slot < squad->count(); slot += 7) test::pick(squad, slot);
        }
        sample.window.selectTeam(12);
        test::click(&sample.window, "pickerButton");
        for (QWidget* window : QApplication::topLevelWidgets())
            if (qobject_cast<gui::PickerWindow*>(window)) window->close();
        for (const char* opens : {"editFormation", "editPlayer", "universalButton", "close"}) {
            QTimer::singleShot(0, [] {
                if (auto* modal = QApplication::activeModalWidget()) modal->close();
            });
            test::click(&sample.window, opens);
        }
        QVERIFY(sample.unchanged() && sample.ui.messages.empty());
    }

    // A tactics value shows as a fifth of its byte; the arrows store 5 x value within 4..19 and
    // nothing else.
    void tacticsStoreFiveTimesTheirValue() {
        Shown sample;
        const std::size_t offense = blockmap::kTacticsOffset + 5 * 7;  // row 7, offense
        sample.blocks().boot[offense] = 72;
        sample.snapshot();
        sample.window.selectTeam(7);
        auto* field = child<QSpinBox>(&sample.window, "tactics0");
        QVERIFY(field->value() == 14 && sample.unchanged());  // 72 is not rewritten as 70 by showing it
        for (const auto& [key, presses, stored] :
             {std::tuple{Qt::Key_Up, 1, 75}, {Qt::Key_Up, 10, 95}, {Qt::Key_Down, 20, 20}}) {
            for (int i = 0; i < presses; ++i) QTest::keyClick(field, key);
            QVERIFY(sample.store.boot()[offense] == stored && barWidths(sample.window)[0] == stored);
            QCOMPARE(sample.changes(), std::vector<std::string>{"boot " + std::to_string(offense)});
        }
    }

    // The shirt field stores the shown number - 1 (parameter data: 23 bytes a national row from
    // 211152, 40 a club row from 212864); a set-piece list stores the chosen index 0 to 10 (boot
    // file: 6 bytes a row from 2141472).
    void shirtsAndSetPiecesStoreTheirCodes() {
        Shown sample;
        auto* squad = child<QComboBox>(&sample.window, "squadList");
        auto* shirt = child<QSpinBox>(&sample.window, "shirt");
        for (const auto& [row, slot, at] : {std::tuple{3, 2, 211152 + 23 * 3 + 2}, {70, 5, 212864 + 40 * 5 + 5}}) {
            sample.window.selectTeam(row);
            squad->setCurrentIndex(slot);
            sample.snapshot();
            const int shown = shirt->value() == 10 ? 11 : 10;
            shirt->setValue(shown);
            QCOMPARE(int(sample.store.parameter()[std::size_t(at)]), shown - 1);
            QCOMPARE(sample.changes(), std::vector<std::string>{"parameter " + std::to_string(at)});
        }
        auto* list = child<QComboBox>(&sample.window, "setPiece2");
        sample.snapshot();
        const int entry = list->currentIndex() == 4 ? 6 : 4;
        list->setCurrentIndex(entry);
        emit list->activated(entry);
        const std::size_t at = 2141472 + 6 * 70 + 2;
        QCOMPARE(int(sample.store.boot()[at]), entry);
        QCOMPARE(sample.changes(), std::vector<std::string>{"boot " + std::to_string(at)});
    }

    void changeIdFollowsTheSlotRules() {
        Shown sample;
        QVERIFY(QTest::qWaitForWindowActive(&sample.window));
        auto* id = child<QLineEdit>(&sample.window, "playerId");
        auto* squad = child<QComboBox>(&sample.window, "squadList");
        const GameBlocks blocks = sample.blocks();
        const struct {
            int row, slot;
            QString typed;
            const char* refusal;
        } cases[] = {{0, 0, "0", "ID should be 1--2197"},  // (the whole rule: the team record tests)
                     {0, 5, "", "ID should be 1--2197"},
                     {0, 5, "99999999999", "ID should be 1--2197"},
                     {70, 23, "2198", "ID should be 0--2197"},
                     {0, 5, "2197", nullptr},
                     {70, 23, "0", nullptr},
                     {105, 39, "1", nullptr}};
        for (const auto& c : cases) {
            sample.window.selectTeam(c.row);
            test::pick(squad, c.slot);
            sample.snapshot();
            sample.ui.messages.clear();
            test::retype(id, c.typed);  // the field takes nine digits at most
            test::click(&sample.window, "changeId");
            QVERIFY2(sample.ui.messages.size() == (c.refusal ? 1u : 0u), qPrintable(c.typed));
            if (c.refusal) {
                QCOMPARE(sample.ui.lastText(), c.refusal);
                QVERIFY2(sample.unchanged() && QApplication::focusWidget() == id, qPrintable(c.typed));
            } else {
                QCOMPARE(int(readSquadId(blocks, c.row, c.slot)), c.typed.toInt());
                QCOMPARE(squad->currentText(), nameText(squadEntryText(blocks, c.row, c.slot)));
            }
        }
        // The national squad's copy in the boot file follows; an emptied club slot has no player.
        QCOMPARE(int(readU16LE(sample.store.boot(), blockmap::kNationalSquadCopyOffset + 10).value()), 2197);
        sample.window.selectTeam(70);
        test::pick(squad, 23);
        QCOMPARE(squad->currentText(), QStringLiteral("24. empty position"));
        QVERIFY(!child<QWidget>(&sample.window, "editPlayer")->isEnabled());
    }

    // Names are limited in encoded bytes; a character without a code is refused with a message.
    void namesAreLimitedInBytes() {
        Shown sample;
        const GameBlocks blocks = sample.blocks();
        const struct {
            const char* field;
            int row;
            QString typed, shown;
            bool refused = false;
        } cases[] = {{"teamName", 0, "ABCDEFGHIJKLMNOPQ", "ABCDEFGHIJKLMNO"},
                     {"teamName", 0, "あいうえおかきくZ", "あいうえおかきZ"},  // 14 bytes and 1
                     {"teamName", 0, QString::fromUtf8("AB\U0001F600C"), "ABC", true},
                     {"shortName", 0, "WXYZ", "WXY"},
                     {"clubName", 104, "Club Atletico Boca Jrs X", "Club Atletico Boca J"}};
        for (const auto& c : cases) {
            const std::string field = c.field;
            const bool team = field == "teamName", club = field == "clubName";
            const auto read = team ? readTeamName : club ? readClubName : readShortName;
            const auto store = team ? storeTeamName : club ? storeClubName : storeShortName;
            const Bytes original = read(blocks, c.row);
            sample.window.selectTeam(c.row);
            auto* name = child<gui::NameField>(&sample.window, c.field);
            QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
            test::typeText(name, c.typed);
            QCoreApplication::processEvents();
            QCOMPARE(name->text(), c.shown);
            QCOMPARE(read(blocks, c.row), encodeShiftJis(c.shown.toStdString()).bytes);
            const ByteSpan parameter = sample.store.parameter();
            if (c.row == 104)  // the game keeps two copies of a club's name
                QVERIFY(std::ranges::equal(parameter.subspan(227324, 21), parameter.subspan(227389, 21)));
            QVERIFY(sample.ui.messages.size() == std::size_t(c.refused) &&
                    (!c.refused || sample.ui.lastText() == refusalMessage(U'\U0001F600')));
            sample.ui.messages.clear();
            // Nothing but the slot changed: the old name stored back makes the blocks as they were.
            QVERIFY(store(blocks, c.row, original) && sample.unchanged());
        }
    }

    // A stored name with a byte that is no Shift-JIS shows and edits without a false refusal; it is
    // stored only once that byte is gone.
    void nameWithForeignBytesEditsWithoutComplaint() {
        Shown sample;
        const Bytes odd{0xFF, 'A', 'B'};
        QVERIFY(storeTeamName(sample.blocks(), 2, odd));
        sample.snapshot();
        sample.window.selectTeam(2);
        auto* name = child<gui::NameField>(&sample.window, "teamName");
        QTest::keyClick(name, Qt::Key_End);
        test::typeText(name, "C");
        QVERIFY(sample.ui.messages.empty() && sample.unchanged());
        QTest::keyClick(name, Qt::Key_Home);
        QTest::keyClick(name, Qt::Key_Delete);
        QCOMPARE(readTeamName(sample.blocks(), 2), (Bytes{'A', 'B', 'C'}));
        QVERIFY(sample.ui.messages.empty());
    }

    void writeButtonReportsEachOutcome() {
        const struct {
            bool image, missing;
            std::string message;
        } cases[] = {{false, false, "OK!"},
                     {true, false, "OK!"},
                     {false, true, "Failed to save data to exported files!"},
                     {true, true, "Failed to save data to CD image!"}};
        for (const auto& c : cases) {
            Shown sample(c.image ? SourceMode::CdImage : SourceMode::ExportedFiles);
            const auto file = c.image ? sample.source : sample.source / "parameter.ovl";
            const auto before = test::fileChecksum(file);
            if (c.missing) std::filesystem::remove(c.image ? file : sample.source / "select.ovl");
            QVERIFY(QTest::qWaitForWindowActive(&sample.window));
            if (c.image) QTest::keyClick(child<QSpinBox>(&sample.window, "tactics1"), Qt::Key_Down);
            QTest::keyClick(&sample.window, Qt::Key_Return);  // the default button
            // A failure follows a line with its reason; the first success names the backup next.
            const std::string text = sample.ui.lastText();
            QCOMPARE(c.missing ? text.substr(text.rfind('\n') + 1) : text.substr(0, text.find('\n')), c.message);
            QCOMPARE(text.find("Backup of the files as they were: ") != std::string::npos, c.image && !c.missing);
            QCOMPARE(sample.ui.messages.back().kind, c.missing ? MessageKind::Warning : MessageKind::Information);
            // Unedited files are written back as they were; an edit reaches the image.
            if (!c.missing) QCOMPARE(test::fileChecksum(file) != before, c.image);
        }
    }

    void savedTeamLoadsBackIntoItsRow() {
        Shown sample;
        sample.window.selectTeam(70);
        test::click(&sample.window, "saveTeam");
        const std::filesystem::path file = sample.dir / "team070.dat";
        QCOMPARE(sample.ui.lastText(), "OK, team data saved as \n" + file.string());
        // Change the row through the window, then show another team and load the file.
        QTest::keyClick(child<QSpinBox>(&sample.window, "tactics2"), Qt::Key_Up);
        auto* name = child<gui::NameField>(&sample.window, "teamName");
        QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(name, "Changed");
        QVERIFY(!sample.unchanged());
        sample.window.selectTeam(3);
        sample.ui.replies.push_back(gui::toQString(file));
        test::click(&sample.window, "loadTeam");
        QCOMPARE(sample.ui.lastText(), "data of team 071 load OK.");
        QCOMPARE(child<QComboBox>(&sample.window, "teamList")->currentIndex(), 70);
        QVERIFY(name->text() == nameText(readTeamName(sample.blocks(), 70)) && sample.unchanged());
        test::click(&sample.window, "loadTeam");  // cancelled: nothing changes, nothing is said
        QCOMPARE(sample.ui.messages.size(), std::size_t(2));
    }

    // Enter on a focused button presses that button and only it: after an edit that "Write" would
    // store, Close closes, Save team saves a file and Load team asks for one, and the image stays
    // byte for byte as it was.
    void enterPressesTheFocusedButton() {
        for (const char* name : {"close", "saveTeam", "loadTeam"}) {
            Shown sample(SourceMode::CdImage);
            QVERIFY(QTest::qWaitForWindowActive(&sample.window));
            const auto before = test::fileChecksum(sample.source);
            QTest::keyClick(child<QSpinBox>(&sample.window, "tactics1"), Qt::Key_Down);
            sample.ui.closeAnswer = gui::UiServices::CloseAnswer::Discard;
            auto* button = child<QPushButton>(&sample.window, name);
            button->setFocus();
            QTest::keyClick(button, Qt::Key_Return);
            QCOMPARE(test::fileChecksum(sample.source), before);
            QCOMPARE(sample.window.isVisible(), std::string_view(name) != "close");
            if (std::string_view(name) == "saveTeam") QVERIFY(sample.ui.lastText().starts_with("OK, team data saved"));
            if (std::string_view(name) == "loadTeam") QCOMPARE(sample.ui.titles.size(), std::size_t(1));
        }
    }

    // The wheel over a list or number field without the focus changes nothing; with it, it steps.
    void wheelChangesOnlyTheFocusedControl() {
        Shown sample;
        QVERIFY(QTest::qWaitForWindowActive(&sample.window));
        const auto turn = [](QWidget* control) {
            QWheelEvent wheel(QPointF(5, 5), control->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(control, &wheel);
        };
        for (const char* name : {"tactics0", "squadList", "teamList"}) {
            QWidget* control = child<QWidget>(&sample.window, name);
            sample.snapshot();
            child<QWidget>(&sample.window, "teamName")->setFocus();
            const QImage shown = control->grab().toImage();
            turn(control);
            QVERIFY2(sample.unchanged() && control->grab().toImage() == shown && !control->hasFocus(), name);
            control->setFocus();
            turn(control);
            QVERIFY2(control->grab().toImage() != shown, name);
        }
    }

    // The title's "*" follows the blocks: an edit sets it, the same text typed back clears it, a
    // new edit sets it again and writing clears it.
    void unwrittenMarkFollowsTheBlocks() {
        Shown sample;
        QVERIFY(QTest::qWaitForWindowActive(&sample.window));
        const QString name = QString::fromLatin1(kAppName);
        QCOMPARE(sample.window.windowTitle(), name);
        auto* field = child<gui::NameField>(&sample.window, "teamName");
        field->setFocus();
        QTest::keyClick(field, Qt::Key_End);
        for (const auto& [key, marked] : {std::pair{Qt::Key_X, true}, {Qt::Key_Backspace, false}, {Qt::Key_Y, true}}) {
            QTest::keyClick(field, key);
            QTRY_COMPARE(sample.window.windowTitle(), marked ? name + "*" : name);
        }
        test::click(&sample.window, "writeButton");
        QCOMPARE(sample.window.windowTitle(), name);
        QVERIFY(sample.window.isVisible());
    }

    // Closing with an unwritten edit asks, whichever way it is closed. Cancel keeps the window,
    // Discard closes without writing, Write writes and closes, and a failed write keeps it open.
    // Without an edit nothing is asked.
    void closingWithUnwrittenChangesAsks() {
        using Answer = gui::UiServices::CloseAnswer;
        const std::function<void(QWidget&)> ways[] = {[](QWidget& w) { test::click(&w, "close"); },
                                                      [](QWidget& w) { QTest::keyClick(&w, Qt::Key_Escape); },
                                                      [](QWidget& w) { w.close(); }};
        const struct {
            Answer answer;
            bool edit, writable, closes, written;
        } cases[] = {{Answer::Cancel, true, true, false, false},
                     {Answer::Discard, true, true, true, false},
                     {Answer::Write, true, true, true, true},
                     {Answer::Write, true, false, false, false},
                     {Answer::Cancel, false, true, true, false}};
        for (const auto& way : ways)
            for (const auto& c : cases) {
                Shown sample;
                QVERIFY(QTest::qWaitForWindowActive(&sample.window));
                if (c.edit) QTest::keyClick(child<QSpinBox>(&sample.window, "tactics1"), Qt::Key_Down);
                if (!c.writable) std::filesystem::remove(sample.source / "select.ovl");
                sample.ui.closeAnswer = c.answer;
                way(sample.window);
                const QString question = "Write the changes into " + gui::toQString(sample.source) + " before closing?";
                QCOMPARE(sample.ui.titles, c.edit ? std::vector<QString>{question} : std::vector<QString>{});
                QCOMPARE(sample.window.isVisible(), !c.closes);
                QCOMPARE(sample.store.hasUnwrittenChanges(), c.edit && !c.written);
            }
    }

    // Ctrl+F opens the find box; a typed ID lists the player with the slots holding it, and Enter
    // selects the first team and slot and opens the player editor there. (Finding by a name part:
    // the player search tests.)
    void findPlayerSelectsItsSlotAndOpensTheEditor() {
        Shown sample;
        QVERIFY(QTest::qWaitForWindowActive(&sample.window));
        QTest::keyClick(&sample.window, Qt::Key_F, Qt::ControlModifier);
        auto* box = child<gui::FindPlayerWindow>(&sample.window, "findPlayer");
        QVERIFY(box->isVisible());
        auto* text = child<QLineEdit>(box, "findText");
        auto* matches = child<QListWidget>(box, "matches");
        QTest::keyClicks(text, "12");
        QCOMPARE(matches->count(), 1);
        QVERIFY(matches->item(0)->text().contains("1.Ireland slot 12"));
        QString editorTitle;
        QTimer::singleShot(0, [&] {
            if (QWidget* editor = QApplication::activeModalWidget()) {
                editorTitle = editor->metaObject()->className();
                editor->close();
            }
        });
        QTest::keyClick(text, Qt::Key_Return);
        QCOMPARE(editorTitle, QStringLiteral("tarvo::gui::PlayerEditorWindow"));
        QCOMPARE(child<QComboBox>(&sample.window, "teamList")->currentIndex(), 0);
        QCOMPARE(child<QComboBox>(&sample.window, "squadList")->currentIndex(), 11);
        QVERIFY(sample.unchanged());
    }
};

QTEST_MAIN(TeamWindowTest)
#include "team_window_gui_test.moc"
