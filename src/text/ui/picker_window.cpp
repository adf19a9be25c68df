#include "text/ui/picker_window.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "text/jiscode.h"
#include "text/sjis.h"
#include "ui/controls_qt.h"
#include "ui/dialog_units_qt.h"
#include "ui/glyph_row_widget.h"

namespace tarvo::gui {

PickerWindow::PickerWindow(MessageService& messages, picker::PickerState& state, QWidget* parent)
    : QDialog(parent), m_messages(messages), m_state(state) {
    setWindowTitle(QStringLiteral("Input Shift-JIS"));
    setFont(dialogFont(8));
    const DialogUnits du(font());
    setFixedSize(du.size(341, 324));

    auto* gotoButton = pushButton(QStringLiteral("goto (0-22)"), du.rect(245, 60, 54, 14), this);
    m_gotoPage = lineField(du.rect(306, 60, 22, 14), false, this);
    m_gotoPage->setObjectName(QStringLiteral("gotoPage"));
    m_gotoPage->setAlignment(Qt::AlignCenter);
    m_gotoPage->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), this));
    auto* next = pushButton(QStringLiteral(">>"), du.rect(245, 87, 54, 14), this);
    m_page = lineField(du.rect(307, 97, 22, 14), true, this);
    m_page->setObjectName(QStringLiteral("page"));
    m_page->setAlignment(Qt::AlignCenter);
    auto* previous = pushButton(QStringLiteral("<<"), du.rect(245, 110, 54, 14), this);
    label(QStringLiteral("HEX"), du.rect(249, 153, 13, 8), this);
    m_hex = lineField(du.rect(267, 150, 40, 14), true, this);
    m_hex->setObjectName(QStringLiteral("hex"));
    label(QStringLiteral("STR"), du.rect(249, 175, 13, 8), this);
    m_str = lineField(du.rect(267, 172, 40, 14), true, this);
    m_str->setObjectName(QStringLiteral("str"));
    useJapaneseFont(m_str);

    m_gotoPage->setText(QString::number(m_state.gotoPage));
    m_page->setText(QString::number(m_state.page));

    connect(gotoButton, &QPushButton::clicked, this, &PickerWindow::onGotoClicked);
    connect(next, &QPushButton::clicked, this, &PickerWindow::onNextClicked);
    connect(previous, &QPushButton::clicked, this, &PickerWindow::onPreviousClicked);
}

void PickerWindow::showPage(int page) {
    m_state.page = page;
    m_state.gotoPage = page;
    m_page->setText(QString::number(m_state.page));
    m_gotoPage->setText(QString::number(m_state.gotoPage));
    m_selection.reset();
    repaint(toQRect(picker::gridArea()));
}

void PickerWindow::onNextClicked() {
    if (const auto page = picker::nextPage(m_state.page)) showPage(*page);
}

void PickerWindow::onPreviousClicked() {
    if (const auto page = picker::previousPage(m_state.page)) showPage(*page);
}

void PickerWindow::onGotoClicked() {
    const auto page = picker::parsePage(m_gotoPage->text().toStdString());
    if (!page) {
        m_messages.warning("Please enter an integer between 0 and 22.");
        m_gotoPage->setFocus();
        m_gotoPage->selectAll();
        return;
    }
    m_state.gotoPage = *page;
    if (*page == m_state.page) return;
    showPage(*page);
}

void PickerWindow::clickAt(const QPoint& point) {
    const auto cell = picker::cellAt(point.x(), point.y());
    if (!cell) return;
    if (m_selection) update(toQRect(picker::selectionRect(*m_selection)));
    m_selection = *cell;
    update(toQRect(picker::selectionRect(*cell)));

    const auto code = codeAtIndex(picker::glyphIndexAt(m_state.page, *cell));
    const QString character = QString::fromStdString(decodeShiftJis(ByteSpan(code.data(), code.size())));
    m_str->setText(character);
    m_hex->setText(QString::fromStdString(picker::hexOfCode(code)));
    emit characterPicked(character);
}

void PickerWindow::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    const QRect grid(picker::kGridLeft, picker::kGridTop, picker::kGridWidth, picker::kGridHeight);
    painter.fillRect(grid, Qt::white);

    // Each line stops one pixel short of its end point, so the grid's far corner stays white.
    painter.setPen(QPen(QColor(0, 128, 192), 1));
    for (int j = 0; j <= picker::kRows; ++j) {
        const int y = picker::kGridTop + picker::kCellHeight * j;
        painter.drawLine(picker::kGridLeft, y, picker::kGridLeft + picker::kGridWidth - 1, y);
    }
    for (int i = 0; i <= picker::kColumns; ++i) {
        const int x = picker::kGridLeft + picker::kCellWidth * i;
        painter.drawLine(x, picker::kGridTop, x, picker::kGridTop + picker::kGridHeight - 1);
    }

    const QImage& sheet = glyphSheetImage();
    for (int r = 0; r < picker::kRows; ++r) {
        for (int c = 0; c < picker::kColumns; ++c) {
            const picker::Cell cell{r, c};
            const PixelRect target = picker::glyphTarget(cell);
            painter.drawImage(QPoint(target.left, target.top), sheet, toQRect(picker::sheetSource(m_state.page, cell)));
        }
    }

    if (m_selection) {
        const PixelRect s = picker::selectionRect(*m_selection);
        painter.setPen(QPen(QColor(255, 0, 0), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(QPoint(s.left, s.top), QPoint(s.right - 2, s.bottom - 2)));
    }
}

void PickerWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) clickAt(event->position().toPoint());
    QDialog::mousePressEvent(event);
}

void PickerWindow::keyPressEvent(QKeyEvent* event) {
    // Enter closes the picker as Escape does; the typed goto page waits for its button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        close();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace tarvo::gui
