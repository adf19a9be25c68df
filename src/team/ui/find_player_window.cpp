#include "team/ui/find_player_window.h"

#include <algorithm>
#include <memory>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSettings>
#include <QVBoxLayout>

#include "records/team.h"
#include "store/messages.h"
#include "store/team_table.h"
#include "team/player_search.h"
#include "ui/controls_qt.h"
#include "ui/dialog_units_qt.h"

namespace tarvo::gui {

namespace {

constexpr int kIdRole = Qt::UserRole, kRowRole = Qt::UserRole + 1, kSlotRole = Qt::UserRole + 2;
const QString kSizeKey = QStringLiteral("findPlayer/size");

// The program's settings: a file named after it in the user's settings folder.
std::unique_ptr<QSettings> settings() {
    return std::make_unique<QSettings>(QString::fromLatin1(kAppName), QString::fromLatin1(kAppName));
}

// A match as the list shows it: ID, full name, back name, and the team slots that hold the player.
QString matchLine(std::uint32_t id, const QString& fullName, const QString& backName, const QStringList& places) {
    return QStringLiteral("%1  %2  %3  %4")
        .arg(id)
        .arg(fullName, backName, places.isEmpty() ? QStringLiteral("(no team)") : places.join(QStringLiteral(", ")));
}

QString placeText(const SquadPlace& place) {
    return latin1(TeamTable[static_cast<std::size_t>(place.row)].label) + QLatin1Char(' ') +
           QString::fromStdString(slotName(place.slot));
}

// The widest line a player in a national team and a club can give: names that fill their slots
// with full-width characters (two bytes each), and the longest team labels with a two-digit slot.
int widestLineWidth(const QFontMetrics& metrics) {
    const auto labelWidth = [&metrics](int row) {
        return metrics.horizontalAdvance(latin1(TeamTable[static_cast<std::size_t>(row)].label));
    };
    int widestRow = 0;
    for (int row = 1; row < blockmap::kTeamRows; ++row)
        if (labelWidth(row) > labelWidth(widestRow)) widestRow = row;
    const QChar wide(0x30F2);  // katakana WO, as wide as any name character
    const auto filled = [&wide](std::size_t slotBytes) { return QString(static_cast<int>((slotBytes - 1) / 2), wide); };
    const QString place = placeText({widestRow, blockmap::kClubSquadSize - 1});
    return metrics.horizontalAdvance(matchLine(blockmap::kPlayerCount, filled(blockmap::kFullNameSize),
                                               filled(blockmap::kBackNameSize), {place, place}));
}

}  // namespace

FindPlayerWindow::FindPlayerWindow(AppContext& context, QWidget* parent) : QDialog(parent), m_context(context) {
    setWindowTitle(QStringLiteral("Find player"));
    setFont(dialogFont(8));
    const DialogUnits du(font());
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("findText"));
    m_text->setPlaceholderText(QStringLiteral("part of a name, or an ID"));
    useJapaneseFont(m_text);
    m_matches = new QListWidget(this);
    m_matches->setObjectName(QStringLiteral("matches"));
    useJapaneseFont(m_matches);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(m_matches);

    const QSize remembered = settings()->value(kSizeKey).toSize();
    if (remembered.isValid()) {
        resize(remembered);
    } else {
        const int frame = 2 * m_matches->frameWidth() + m_matches->verticalScrollBar()->sizeHint().width() +
                          layout->contentsMargins().left() + layout->contentsMargins().right() + du.x(4);
        resize(std::max(du.x(260), widestLineWidth(m_matches->fontMetrics()) + frame), du.y(160));
    }
    m_text->installEventFilter(this);

    connect(m_text, &QLineEdit::textChanged, this, &FindPlayerWindow::search);
    connect(m_text, &QLineEdit::returnPressed, this, &FindPlayerWindow::pickCurrent);
    connect(m_matches, &QListWidget::itemActivated, this, &FindPlayerWindow::pickCurrent);
}

void FindPlayerWindow::search(const QString& text) {
    m_matches->clear();
    for (const PlayerMatch& m : findPlayers(m_context.store.blocks(), text.trimmed().toStdString())) {
        QStringList places;
        for (const SquadPlace& p : m.places) places << placeText(p);
        auto* item = new QListWidgetItem(
            matchLine(m.id, QString::fromStdString(m.fullName), QString::fromStdString(m.backName), places), m_matches);
        item->setData(kIdRole, m.id);
        item->setData(kRowRole, m.places.empty() ? -1 : m.places.front().row);
        item->setData(kSlotRole, m.places.empty() ? -1 : m.places.front().slot);
    }
    if (m_matches->count() > 0) m_matches->setCurrentRow(0);
}

bool FindPlayerWindow::eventFilter(QObject* watched, QEvent* event) {
    // Up and Down (and the page keys) in the search field move the list's selection.
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            QCoreApplication::sendEvent(m_matches, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FindPlayerWindow::hideEvent(QHideEvent* event) {
    settings()->setValue(kSizeKey, size());
    QDialog::hideEvent(event);
}

void FindPlayerWindow::refresh() { search(m_text->text()); }

void FindPlayerWindow::pickCurrent() {
    const QListWidgetItem* item = m_matches->currentItem();
    if (!item) return;
    emit picked(item->data(kIdRole).toUInt(), item->data(kRowRole).toInt(), item->data(kSlotRole).toInt());
}

}  // namespace tarvo::gui
