// The Shift-JIS picker: paging, goto with its range, the click that shows a code, the state that
// survives closing, and a character copied from it into a name field.
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "support/fake_ui_qt.h"
#include "support/loaded_sample_qt.h"
#include "team/team_window.h"
#include "text/glyphs.h"
#include "text/jiscode.h"
#include "text/name_field_widget.h"
#include "text/picker_window.h"
#include "text/sjis.h"

using namespace tarvo;
using tarvo::gui::PickerWindow;

namespace {

QPushButton* button(QWidget& window, const QString& text) {
    for (QPushButton* b : window.findChildren<QPushButton*>())
        if (b->text() == text) return b;
    qFatal("no button %s", qPrintable(text));
}

QLineEdit* field(QWidget& window, const char* name) { return window.findChild<QLineEdit*>(QString::fromLatin1(name)); }

QPoint cellPoint(int row, int column) { return QPoint(32 + 19 * column + 9, 28 + 20 * row + 10); }

}  // namespace

class PickerWindowTest : public QObject {
    Q_OBJECT
private slots:
    void pagesStayWithinTheSheet();
    void gotoRefusesPagesOutsideTheRange();
    void clickShowsTheCodeAndTheCharacter();
    void gridIsPaintedWithTheSheetsGlyphs();
    void stateSurvivesClosingAndReopening();
    void copiedCharacterEncodesBackToItsCode();
};

void PickerWindowTest::pagesStayWithinTheSheet() {
    test::FakeUi ui;
    picker::PickerState state;
    PickerWindow window(ui, state);
    window.show();
    QCOMPARE(field(window, "page")->text(), QStringLiteral("0"));
    QTest::mouseClick(button(window, QStringLiteral("<<")), Qt::LeftButton);
    QCOMPARE(state.page, 0);

    QTest::mouseClick(&window, Qt::LeftButton, {}, cellPoint(0, 0));
    QVERIFY(window.selection());
    QTest::mouseClick(button(window, QStringLiteral("<<")), Qt::LeftButton);  // nothing happens: outline kept
    QVERIFY(window.selection());
    QTest::mouseClick(button(window, QStringLiteral(">>")), Qt::LeftButton);
    QCOMPARE(state.page, 1);
    QCOMPARE(state.gotoPage, 1);
    QCOMPARE(field(window, "page")->text(), QStringLiteral("1"));
    QCOMPARE(field(window, "gotoPage")->text(), QStringLiteral("1"));
    QVERIFY(!window.selection());
    QCOMPARE(window.hexField()->text(), QStringLiteral("8141"));  // kept across the page change

    for (int i = 0; i < 30; ++i) QTest::mouseClick(button(window, QStringLiteral(">>")), Qt::LeftButton);
    QCOMPARE(state.page, 22);
    QTest::mouseClick(&window, Qt::LeftButton, {}, cellPoint(5, 5));
    QTest::mouseClick(button(window, QStringLiteral(">>")), Qt::LeftButton);
    QCOMPARE(state.page, 22);
    QVERIFY(window.selection());
}

void PickerWindowTest::gotoRefusesPagesOutsideTheRange() {
    test::FakeUi ui;
    picker::PickerState state;
    PickerWindow window(ui, state);
    window.show();
    for (const char* typed : {"23", "", "99"}) {
        field(window, "gotoPage")->setText(QString::fromLatin1(typed));
        QTest::mouseClick(button(window, QStringLiteral("goto (0-22)")), Qt::LeftButton);
        QCOMPARE(ui.messages.back(),
                 (Message{"Please enter an integer between 0 and 22.", kAppName, MessageKind::Warning}));
        QCOMPARE(state.page, 0);
    }
    QTest::mouseClick(&window, Qt::LeftButton, {}, cellPoint(1, 1));
    field(window, "gotoPage")->setText(QStringLiteral("0"));
    QTest::mouseClick(button(window, QStringLiteral("goto (0-22)")), Qt::LeftButton);
    QVERIFY(window.selection());  // the same page: nothing happens
    field(window, "gotoPage")->setText(QStringLiteral("22"));
    QTest::mouseClick(button(window, QStringLiteral("goto (0-22)")), Qt::LeftButton);
    QCOMPARE(state.page, 22);
    QCOMPARE(field(window, "page")->text(), QStringLiteral("22"));
    QVERIFY(!window.selection());
    QCOMPARE(ui.messages.size(), std::size_t(3));
}

void PickerWindowTest::clickShowsTheCodeAndTheCharacter() {
    test::FakeUi ui;
    picker::PickerState state{22, 22};
    PickerWindow window(ui, state);
    window.show();
    // Row 13, column 6 of page 22 is the ideographic space; every later cell shows it too.
    for (const auto& [row, column] : {std::pair{13, 6}, {13, 7}, {19, 15}}) {
        QTest::mouseClick(&window, Qt::LeftButton, {}, cellPoint(row, column));
        QCOMPARE(window.hexField()->text(), QStringLiteral("8140"));
        QCOMPARE(window.strField()->text(), QString(QChar(0x3000)));
        QCOMPARE(window.selection(), (picker::Cell{row, column}));
    }
    // Outside the grid nothing changes.
    state.page = 0;
    QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(336, 30));
    QCOMPARE(window.selection(), (picker::Cell{19, 15}));
    QTest::mouseClick(&window, Qt::LeftButton, {}, cellPoint(0, 0));
    QCOMPARE(window.hexField()->text(), QStringLiteral("8141"));
    QCOMPARE(window.strField()->text(), QString::fromUtf8("、"));
}

void PickerWindowTest::gridIsPaintedWithTheSheetsGlyphs() {
    test::FakeUi ui;
    picker::PickerState state{0, 0};
    PickerWindow window(ui, state);
    window.show();
    QTest::mouseClick(&window, Qt::LeftButton, {}, cellPoint(2, 3));
    const QImage picture = window.grab().toImage();
    QCOMPARE(picture.pixelColor(32, 28), QColor(0, 128, 192));
    QCOMPARE(picture.pixelColor(336, 428), QColor(0, 128, 192));
    QCOMPARE(picture.pixelColor(32 + 19 * 5, 100), QColor(0, 128, 192));
    // The red outline of the selected cell.
    QCOMPARE(picture.pixelColor(32 + 19 * 3, 28 + 40 + 5), QColor(255, 0, 0));
    QCOMPARE(picture.pixelColor(32 + 19 * 4, 28 + 40 + 5), QColor(255, 0, 0));
    // Each cell holds the 16 x 15 sheet cell of its glyph, ink where the sheet has ink.
    for (const auto& [row, column] : {std::pair{0, 0}, {2, 3}, {19, 15}}) {
        int ink = 0;
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool black = picture.pixelColor(34 + 19 * column + x, 30 + 20 * row + y) == QColor(Qt::black);
                QCOMPARE(black, sheetPixelIsInk(16 * column + x, 15 * row + y));
                ink += black;
            }
        QVERIFY(ink > 0);
    }
}

void PickerWindowTest::stateSurvivesClosingAndReopening() {
    test::LoadedSample sample;
    gui::TeamWindow team(sample.context);
    team.show();
    auto* open = team.findChild<QPushButton*>(QStringLiteral("pickerButton"));
    QTest::mouseClick(open, Qt::LeftButton);
    PickerWindow* first = team.picker();
    QVERIFY(first);
    QTest::mouseClick(open, Qt::LeftButton);
    QCOMPARE(team.picker(), first);  // already open: nothing happens
    QTest::mouseClick(button(*first, QStringLiteral(">>")), Qt::LeftButton);
    QTest::mouseClick(button(*first, QStringLiteral(">>")), Qt::LeftButton);
    QTest::mouseClick(first, Qt::LeftButton, {}, cellPoint(1, 1));
    QTest::keyClick(first, Qt::Key_Return);  // Enter closes it
    QTRY_VERIFY(!team.picker());

    QTest::mouseClick(open, Qt::LeftButton);
    QVERIFY(team.picker());
    QCOMPARE(field(*team.picker(), "page")->text(), QStringLiteral("2"));
    QCOMPARE(field(*team.picker(), "gotoPage")->text(), QStringLiteral("2"));
    QVERIFY(!team.picker()->selection());
    QTest::keyClick(team.picker(), Qt::Key_Escape);  // so does Escape
    QTRY_VERIFY(!team.picker());
    QVERIFY(sample.unchanged());
}

void PickerWindowTest::copiedCharacterEncodesBackToItsCode() {
    test::FakeUi ui;
    picker::PickerState state;
    PickerWindow window(ui, state);
    window.show();
    gui::NameField name(ui);
    name.setMaxBytes(30);
    std::vector<Bytes> edited;
    connect(&name, &gui::NameField::nameEdited, [&edited](const Bytes& bytes) { edited.push_back(bytes); });
    name.show();

    // Cells of the first page, the last kanji page and the 0xED/0xEE pages.
    const std::pair<int, int> cells[] = {{0, 0}, {0, 16 * 19 + 15}, {21, 6877 - 21 * 320}, {21, 6878 - 21 * 320},
                                         {22, 7253 - 22 * 320}};
    for (const auto& [page, index] : cells) {
        state.page = page;
        const int row = index / 16, column = index % 16;
        QTest::mouseClick(&window, Qt::LeftButton, {}, cellPoint(row, column));
        const auto code = codeAtIndex(320 * page + index);
        window.strField()->selectAll();
        window.strField()->copy();
        name.clear();
        name.paste();
        const Bytes expected{code[0], code[1]};
        QCOMPARE(name.nameBytes(), expected);
        QVERIFY(!edited.empty());
        QCOMPARE(edited.back(), expected);
    }
    QVERIFY(ui.messages.empty());
}

QTEST_MAIN(PickerWindowTest)
#include "picker_window_gui_test.moc"
