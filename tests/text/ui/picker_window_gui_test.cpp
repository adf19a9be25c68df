// The Shift-JIS picker: paging, goto with its range, the click that shows a code, and the state
// that survives closing.

#include "support/loaded_sample_qt.h"
#include "team/ui/team_window.h"
#include "text/ui/picker_window.h"

using namespace tarvo;
using tarvo::gui::PickerWindow;
using tarvo::test::child;

static void press(QWidget* window, const QString& text, int times = 1) {
    for (QPushButton* b : window->findChildren<QPushButton*>())
        for (int i = 0; i < times && b->text() == text; ++i) QTest::mouseClick(b, Qt::LeftButton);
}

// The grid: 16 columns of 19 pixels and 20 rows of 20 pixels from (32, 28).
static void clickCell(QWidget* window, int row, int column) {
    QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(32 + 19 * column + 9, 28 + 20 * row + 10));
}

// The cell inside the red selection outline as drawn, or none.
static std::optional<picker::Cell> selectedCell(QWidget* window) {
    const QRect red = test::drawnArea(window, qRgb(255, 0, 0));
    if (red.isEmpty()) return std::nullopt;
    return picker::Cell{(red.center().y() - 28) / 20, (red.center().x() - 32) / 19};
}

// Types a page number into the goto field and presses its button.
static void goTo(QWidget* window, const QString& page) {
    test::retype(child<QLineEdit>(window, "gotoPage"), page);
    press(window, "goto (0-22)");
}

// The pickers open as windows of their own.
static QList<PickerWindow*> openPickers() {
    QList<PickerWindow*> found;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* picker = qobject_cast<PickerWindow*>(window); picker && picker->isVisible()) found << picker;
    return found;
}

class PickerWindowTest : public QObject {
    Q_OBJECT
private slots:
    // Paging stops at 0 and 22 without a change (the selection outline stays); goto takes 0-22 only.
    void pagingGotoAndCellClicks() {
        test::FakeUi ui;
        picker::PickerState state;
        PickerWindow window(ui, state);
        window.show();
        // A step: a click on a cell first or not, a button (a page number typed: "goto"), what follows.
        const struct {
            bool click;
            QString button;
            int times, page;
            bool selected;
        } steps[] = {{true, "<<", 1, 0, true},  {false, ">>", 1, 1, false}, {false, ">>", 30, 22, false},
                     {true, ">>", 1, 22, true}, {false, "23", 1, 22, true}, {false, "", 1, 22, true},
                     {false, "0", 1, 0, false}, {true, "0", 1, 0, true}};
        for (const auto& s : steps) {
            if (s.click) clickCell(&window, 0, 0);
            const bool paging = s.button == "<<" || s.button == ">>";
            paging ? press(&window, s.button, s.times) : goTo(&window, s.button);
            QVERIFY2(state.page == s.page && child<QLineEdit>(&window, "page")->text() == QString::number(s.page),
                     qPrintable(s.button));
            QVERIFY2(selectedCell(&window).has_value() == s.selected, qPrintable(s.button));
        }
        QVERIFY(ui.messages.size() == 2u && ui.lastText() == "Please enter an integer between 0 and 22.");
        // A click shows the cell's code and character; cells past the last code show the blank.
        for (const auto& [page, row, column, hex, text] :
             {std::tuple{"22", 13, 6, "8140", QString(QChar(0x3000))}, {"0", 0, 1, "8142", QString::fromUtf8("。")}}) {
            goTo(&window, page);
            clickCell(&window, row, column);
            QCOMPARE(child<QLineEdit>(&window, "hex")->text(), QString::fromLatin1(hex));
            QCOMPARE(child<QLineEdit>(&window, "str")->text(), text);
            QCOMPARE(selectedCell(&window), (picker::Cell{row, column}));
        }
        QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(336, 30));  // outside the grid
        QCOMPARE(selectedCell(&window), (picker::Cell{0, 1}));
    }

    // The picker is a window of its own; a second click on the button while it is open does nothing.
    void stateSurvivesClosingAndReopening() {
        test::LoadedSample sample;
        gui::TeamWindow team(sample.context);
        team.show();
        test::click(&team, "pickerButton");
        const QList<PickerWindow*> shown = openPickers();
        QVERIFY(shown.size() == 1 && shown[0]->isVisible() && !shown[0]->parent());
        test::click(&team, "pickerButton");
        QCOMPARE(openPickers(), shown);
        PickerWindow* first = shown[0];
        press(first, ">>", 2);
        clickCell(first, 1, 1);
        QTest::keyClick(first, Qt::Key_Return);  // Enter closes it
        QTRY_VERIFY(openPickers().isEmpty());
        test::click(&team, "pickerButton");
        auto* second = openPickers().value(0);
        QVERIFY(second);
        for (const char* field : {"page", "gotoPage"})
            QCOMPARE(child<QLineEdit>(second, field)->text(), QStringLiteral("2"));
        QVERIFY(!selectedCell(second) && sample.unchanged());  // the page is kept, the selection is not
    }

    // The player editor is modal to the team window only: the picker beside it takes clicks.
    void pickerUsableBesideThePlayerEditor() {
        test::LoadedSample sample;
        gui::TeamWindow team(sample.context);
        team.show();
        QVERIFY(QTest::qWaitForWindowActive(&team));
        test::click(&team, "pickerButton");
        PickerWindow* picker = openPickers().value(0);
        QVERIFY(picker);
        std::optional<picker::Cell> selected;
        Qt::WindowModality modality = Qt::ApplicationModal;
        QTimer::singleShot(0, [&] {
            QWidget* editor = QApplication::activeModalWidget();
            if (!editor) return;
            modality = editor->windowModality();
            clickCell(picker, 1, 1);
            selected = selectedCell(picker);
            editor->close();
        });
        test::click(&team, "editPlayer");
        QCOMPARE(modality, Qt::WindowModal);
        QCOMPARE(selected, (std::optional<picker::Cell>(picker::Cell{1, 1})));
    }
};

QTEST_MAIN(PickerWindowTest)
#include "picker_window_gui_test.moc"
