// The formation editor on the sample disc: moves at the limits, presets, "Load formation",
// and that only "Accept" stores.

#include "records/team.h"
#include "support/loaded_sample_qt.h"
#include "team/formation_layout.h"
#include "team/team_file.h"
#include "team/ui/formation_window.h"

using namespace tarvo;
using tarvo::gui::FormationWindow;
using tarvo::test::click;

namespace {

constexpr int kRow = 12;

void selectPosition(QWidget& window, int k) {
    test::child<QRadioButton>(&window, QStringLiteral("position%1").arg(k))->click();
}

// Where the selected position's marker is drawn: the middle of its red pixels.
QPoint selectedMarker(QWidget& window) { return test::drawnArea(&window, qRgb(193, 0, 0)).center(); }

QPoint markerOf(const FormationRecord& record, int k) {
    const PixelPoint c = formation::markerCentre(formation::positionX(record, k), formation::positionY(record, k));
    return {c.x, c.y};
}

QString position(const QString& role, QPoint marker) {
    return QStringLiteral("%1 at %2,%3").arg(role).arg(marker.x()).arg(marker.y());
}

// What the window shows of each position, selected in turn: its role and where its marker is.
QStringList shownPositions(QWidget& window) {
    QStringList shown;
    for (int k = 0; k < kFormationPositions; ++k) {
        selectPosition(window, k);
        const QString role = test::child<QLabel>(&window, QStringLiteral("role%1").arg(k))->text();
        shown << position(role, selectedMarker(window));
    }
    return shown;
}
QStringList positionsOf(const FormationRecord& record) {
    QStringList shown;
    for (int k = 0; k < kFormationPositions; ++k)
        shown << position(QString::fromStdString(std::string(roleLabel(record[k]))), markerOf(record, k));
    return shown;
}

// A formation whose ten markers lie well apart; position 0 at the right and top limits, position 1
// at the left limit and stored above the top one.
FormationRecord spreadFormation() {
    FormationRecord record{};
    const std::uint8_t roles[10] = {4, 3, 2, 8, 7, 99, 13, 18, 30, 34};
    for (int k = 0; k < 10; ++k) {
        record[k] = roles[k];
        record[10 + k] = static_cast<std::uint8_t>(5 + 4 * k);
        record[20 + k] = static_cast<std::uint8_t>(k % 2 ? 30 : 70);
    }
    record[10] = 47, record[20] = 6, record[11] = 2, record[21] = 3;
    return record;
}

}  // namespace

class FormationWindowTest : public QObject {
    Q_OBJECT
private slots:
    void movesStopAtTheLimitsAndAcceptStores() {
        for (const bool accept : {true, false}) {
            test::LoadedSample sample;
            storeFormation(sample.blocks(), kRow, spreadFormation());
            sample.snapshot();
            FormationWindow window(sample.context, kRow);
            window.show();
            FormationRecord expected = spreadFormation();
            const struct {
                int position;
                const char* button;
                int x, y;
            } moves[] = {{0, "right", 47, 6}, {0, "up", 47, 6}, {0, "left", 46, 6}, {0, "down", 46, 7},
                         {1, "left", 2, 3},   {1, "up", 2, 3},  {1, "down", 2, 4}};
            for (const auto& m : moves) {
                selectPosition(window, m.position);
                click(&window, m.button);
                expected[10 + m.position] = static_cast<std::uint8_t>(m.x);
                expected[20 + m.position] = static_cast<std::uint8_t>(m.y);
                QVERIFY2(selectedMarker(window) == markerOf(expected, m.position), m.button);
            }
            QVERIFY(sample.unchanged());  // only the working copy until "Accept"
            click(&window, accept ? "accept" : "cancel");
            QVERIFY(!window.isVisible());
            QCOMPARE(readFormation(sample.blocks(), kRow), accept ? expected : spreadFormation());
            QCOMPARE(sample.changes().size(), accept ? 3u : 0u);
        }
    }

    // The role list stores the role's code, not its place in the list: "CB" is code 4, "CB_L1"
    // code 3, "RW" code 34.
    void roleListStoresRoleCodes() {
        test::LoadedSample sample;
        FormationWindow window(sample.context, kRow);
        window.show();
        auto* roles = test::child<QComboBox>(&window, "roles");
        const std::tuple<int, int, int> picks[] = {{2, 0, 4}, {3, 1, 3}, {9, 32, 34}};
        for (const auto& [position, entry, code] : picks) {
            selectPosition(window, position);
            roles->setCurrentIndex(entry);
            emit roles->activated(entry);
        }
        click(&window, "accept");
        const FormationRecord stored = readFormation(sample.blocks(), kRow);
        for (const auto& [position, entry, code] : picks) QCOMPARE(int(stored[std::size_t(position)]), code);
    }

    // A preset replaces the working formation; "default" brings back the team's own, and
    // choosing the chosen entry again undoes the edits made since.
    void presets() {
        test::LoadedSample sample;
        const FormationRecord own = readFormation(sample.blocks(), kRow);
        const FormationRecord preset = presetFormation(sample.blocks(), 1);  // "4-5-1-A"
        QVERIFY(own != preset);
        FormationWindow window(sample.context, kRow);
        window.show();
        auto* list = test::child<QListWidget>(&window, "formations");
        const auto choose = [list](int entry) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(entry)).center());
        };
        QCOMPARE(shownPositions(window), positionsOf(own));
        choose(1);
        QCOMPARE(shownPositions(window), positionsOf(preset));
        click(&window, "down");
        choose(0);
        QCOMPARE(shownPositions(window), positionsOf(own));
        choose(1);
        click(&window, "down");
        choose(1);  // chosen again: undone
        QCOMPARE(shownPositions(window), positionsOf(preset));
        click(&window, "accept");
        QCOMPARE(readFormation(sample.blocks(), kRow), preset);
    }

    // "Load formation" takes the formation of a saved team into the working copy only.
    void loadFormationTakesAnotherTeamsFormation() {
        test::LoadedSample sample;
        storeFormation(sample.blocks(), 80, spreadFormation());
        QVERIFY(exportTeam(sample.blocks(), 80, sample.dir.path(), sample.ui));
        sample.snapshot();
        FormationWindow window(sample.context, kRow);
        window.show();
        selectPosition(window, 4);
        sample.ui.replies = {gui::toQString(sample.dir / "team080.dat")};
        click(&window, "loadFormation");
        QCOMPARE(sample.ui.lastText(), "Formation load OK.");
        QVERIFY(test::child<QRadioButton>(&window, "position0")->isChecked());
        QCOMPARE(selectedMarker(window), markerOf(spreadFormation(), 0));
        QCOMPARE(shownPositions(window), positionsOf(spreadFormation()));
        QVERIFY(sample.unchanged());
    }
};

QTEST_MAIN(FormationWindowTest)
#include "formation_window_gui_test.moc"
