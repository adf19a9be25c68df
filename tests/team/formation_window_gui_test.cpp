// The formation editor on the sample disc: the formations it starts from, selection and roles,
// moves at the limits, "Load formation", and that only "Accept" stores.
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "records/team.h"
#include "support/loaded_sample_qt.h"
#include "team/formation_layout.h"
#include "team/formation_window.h"
#include "team/team_file.h"

using namespace tarvo;
using tarvo::gui::FormationWindow;

namespace {

constexpr int kRow = 12;

template <typename T>
T* child(QWidget& window, const QString& name) {
    T* found = window.findChild<T*>(name);
    if (!found) qFatal("no control %s", qPrintable(name));
    return found;
}

void click(QWidget& window, const char* name) {
    QTest::mouseClick(child<QPushButton>(window, QString::fromLatin1(name)), Qt::LeftButton);
}

QRadioButton* radio(QWidget& window, int k) {
    for (QRadioButton* button : window.findChildren<QRadioButton*>())
        if (button->text() == (k < 9 ? QStringLiteral("Player_0%1").arg(k + 1) : QStringLiteral("Player_010")))
            return button;
    qFatal("no radio button %d", k);
}

// A formation whose ten markers lie well apart, with one unknown role code.
FormationRecord spreadFormation() {
    FormationRecord record{};
    const std::uint8_t roles[10] = {4, 3, 2, 8, 7, 99, 13, 18, 30, 34};
    for (int k = 0; k < 10; ++k) {
        record[k] = roles[k];
        record[10 + k] = static_cast<std::uint8_t>(5 + 4 * k);
        record[20 + k] = static_cast<std::uint8_t>(k % 2 ? 30 : 70);
    }
    return record;
}

}  // namespace

class FormationWindowTest : public QObject {
    Q_OBJECT
private slots:
    void opensOnTheTeamsOwnFormation();
    void selectionMovesTheRoleList();
    void roleListSetsTheSelectedRole();
    void movesStopAtTheLimits();
    void presetsAreStoredOnlyOnAccept();
    void loadFormationTakesAnyTeamsFormation();
    void markersArePaintedWhereThePositionsAre();
};

void FormationWindowTest::opensOnTheTeamsOwnFormation() {
    test::LoadedSample sample;
    FormationWindow window(sample.context, kRow);
    QCOMPARE(window.windowTitle(), QStringLiteral("edit formation"));
    QCOMPARE(window.workingFormation(), readFormation(sample.store.blocks(), kRow));
    auto* list = child<QListWidget>(window, QStringLiteral("formations"));
    QCOMPARE(list->count(), 22);
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(list->item(0)->text(), QStringLiteral("default"));
    QCOMPARE(list->item(8)->text(), QStringLiteral("4-3-3-B"));
    QCOMPARE(window.selectedPosition(), 0);
    QVERIFY(radio(window, 0)->isChecked());
    QCOMPARE(radio(window, 9)->text(), QStringLiteral("Player_010"));
    QCOMPARE(child<QComboBox>(window, QStringLiteral("roles"))->count(), 33);
}

void FormationWindowTest::selectionMovesTheRoleList() {
    test::LoadedSample sample;
    storeFormation(sample.store.blocks(), kRow, spreadFormation());
    FormationWindow window(sample.context, kRow);
    window.show();
    auto* roles = child<QComboBox>(window, QStringLiteral("roles"));
    QCOMPARE(roles->pos(), radio(window, 0)->pos() - QPoint(80, 0));
    QCOMPARE(roles->currentText(), QStringLiteral("CB"));

    QTest::mouseClick(radio(window, 3), Qt::LeftButton);
    QCOMPARE(window.selectedPosition(), 3);
    QCOMPARE(roles->pos(), radio(window, 3)->pos() - QPoint(80, 0));
    QCOMPARE(roles->currentText(), QStringLiteral("CB_R"));
    // A role code outside the table leaves the list's selection and shows an empty label.
    QTest::mouseClick(radio(window, 5), Qt::LeftButton);
    QCOMPARE(roles->currentText(), QStringLiteral("CB_R"));
    QCOMPARE(roles->pos(), radio(window, 5)->pos() - QPoint(80, 0));
    // Clicking the checked button again changes nothing.
    QTest::mouseClick(radio(window, 5), Qt::LeftButton);
    QCOMPARE(window.selectedPosition(), 5);
    QCOMPARE(window.workingFormation(), spreadFormation());
}

void FormationWindowTest::roleListSetsTheSelectedRole() {
    test::LoadedSample sample;
    storeFormation(sample.store.blocks(), kRow, spreadFormation());
    sample.snapshot();
    FormationWindow window(sample.context, kRow);
    window.show();
    window.selectPosition(5);
    auto* roles = child<QComboBox>(window, QStringLiteral("roles"));
    roles->setCurrentIndex(0);
    QTest::keyClick(roles, Qt::Key_Down);  // the user picks "CB_L1" (code 3)
    FormationRecord expected = spreadFormation();
    expected[5] = 3;
    QCOMPARE(window.workingFormation(), expected);
    QVERIFY(sample.unchanged());  // only the working copy
}

void FormationWindowTest::movesStopAtTheLimits() {
    test::LoadedSample sample;
    FormationRecord record = spreadFormation();
    record[10 + 0] = 47;  // position 0 at the right and top limits
    record[20 + 0] = 6;
    record[10 + 1] = 2;   // position 1 at the left limit, stored below the top limit
    record[20 + 1] = 3;
    storeFormation(sample.store.blocks(), kRow, record);
    sample.snapshot();
    FormationWindow window(sample.context, kRow);
    window.show();

    click(window, "right");
    click(window, "up");
    QCOMPARE(window.workingFormation(), record);
    click(window, "left");
    click(window, "down");
    QCOMPARE(int(window.workingFormation()[10]), 46);
    QCOMPARE(int(window.workingFormation()[20]), 7);

    window.selectPosition(1);
    click(window, "left");
    click(window, "up");
    QCOMPARE(int(window.workingFormation()[11]), 2);
    QCOMPARE(int(window.workingFormation()[21]), 3);
    click(window, "down");
    QCOMPARE(int(window.workingFormation()[21]), 4);
    QVERIFY(sample.unchanged());

    // "Accept" stores the moves; nothing else of the data changes.
    FormationRecord expected = record;
    expected[10] = 46;
    expected[20] = 7;
    expected[21] = 4;
    click(window, "accept");
    QCOMPARE(readFormation(sample.store.blocks(), kRow), expected);
    QCOMPARE(sample.changes().size(), std::size_t(3));
}

void FormationWindowTest::presetsAreStoredOnlyOnAccept() {
    for (const bool accept : {false, true}) {
        test::LoadedSample sample;
        const FormationRecord own = readFormation(sample.store.blocks(), kRow);
        const FormationRecord preset = presetFormation(sample.store.blocks(), 1);
        QVERIFY(own != preset);
        FormationWindow window(sample.context, kRow);
        window.show();
        child<QListWidget>(window, QStringLiteral("formations"))->setCurrentRow(1);  // "4-5-1-A"
        QCOMPARE(window.workingFormation(), preset);
        click(window, "down");
        // Choosing "default" again undoes everything.
        child<QListWidget>(window, QStringLiteral("formations"))->setCurrentRow(0);
        QCOMPARE(window.workingFormation(), own);
        child<QListWidget>(window, QStringLiteral("formations"))->setCurrentRow(1);
        click(window, accept ? "accept" : "cancel");
        QVERIFY(!window.isVisible());
        QCOMPARE(readFormation(sample.store.blocks(), kRow), accept ? preset : own);
        QCOMPARE(sample.unchanged(), !accept);
    }
}

void FormationWindowTest::loadFormationTakesAnyTeamsFormation() {
    test::LoadedSample sample;
    const GameBlocks blocks = sample.store.blocks();
    storeFormation(blocks, 80, spreadFormation());
    QVERIFY(exportTeam(blocks, 80, sample.dir.path(), sample.ui));
    const Bytes notATeam = {'T', 'E', 'A', 'M', 'D', 'A', 'T', 'a', 0, 0, 0, 0};
    test::writeFile(sample.dir / "bad.dat", notATeam);
    sample.snapshot();
    sample.ui.messages.clear();

    FormationWindow window(sample.context, kRow);
    window.show();
    const FormationRecord own = window.workingFormation();
    sample.ui.replies = {gui::toQString(sample.dir / "bad.dat")};
    click(window, "loadFormation");
    QCOMPARE(sample.ui.messages.back(), (Message{"unknown format!", kAppName, MessageKind::Warning}));
    QCOMPARE(window.workingFormation(), own);
    click(window, "loadFormation");  // cancelled
    QCOMPARE(window.workingFormation(), own);

    window.selectPosition(4);
    sample.ui.replies = {gui::toQString(sample.dir / "team080.dat")};
    click(window, "loadFormation");
    QCOMPARE(sample.ui.messages.back(), (Message{"Formation load OK.", kAppName, MessageKind::Information}));
    QCOMPARE(window.workingFormation(), spreadFormation());
    QCOMPARE(window.selectedPosition(), 0);
    QCOMPARE(child<QListWidget>(window, QStringLiteral("formations"))->currentRow(), 0);
    QCOMPARE(sample.ui.openCalls.front().title, QStringLiteral("open team data file"));
    QVERIFY(sample.unchanged());
    click(window, "accept");
    QCOMPARE(readFormation(blocks, kRow), spreadFormation());
    QCOMPARE(readFormation(blocks, 80), spreadFormation());
}

void FormationWindowTest::markersArePaintedWhereThePositionsAre() {
    test::LoadedSample sample;
    storeFormation(sample.store.blocks(), kRow, spreadFormation());
    FormationWindow window(sample.context, kRow);
    window.show();
    window.selectPosition(2);
    const QImage picture = window.grab().toImage();
    for (int k = 0; k < 10; ++k) {
        const FormationRecord& f = window.workingFormation();
        const formation::PixelPoint c = formation::markerCentre(f[10 + k], f[20 + k]);
        const QColor expected = k == 2 ? QColor(193, 0, 0) : QColor(76, 193, 141);
        QCOMPARE(picture.pixelColor(c.x, c.y), expected);
        QCOMPARE(picture.pixelColor(c.x + 5, c.y), expected);
        QCOMPARE(picture.pixelColor(c.x, c.y - 7), QColor(Qt::black));  // the outline
    }
    // The zone outlines: the first starts where position (2, 6) is drawn.
    QCOMPARE(picture.pixelColor(48, 100), QColor(255, 255, 0));
    QCOMPARE(picture.pixelColor(304, 206), QColor(0, 255, 255));
    QCOMPARE(picture.pixelColor(408, 150), QColor(255, 0, 255));
}

QTEST_MAIN(FormationWindowTest)
#include "formation_window_gui_test.moc"
