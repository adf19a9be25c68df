#include "team/ui/formation_window.h"

#include <algorithm>

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include "records/team.h"
#include "team/team_file.h"
#include "ui/controls_qt.h"
#include "ui/dialog_units_qt.h"
#include "ui/resources_qt.h"

namespace tarvo::gui {

namespace {
constexpr int kPitchGap = 4;  // pixels between the pitch picture and the controls under it
}  // namespace

FormationWindow::FormationWindow(AppContext& context, int row, QWidget* parent)
    : QDialog(parent), m_context(context), m_row(row) {
    ensureResources();
    setWindowTitle(QStringLiteral("edit formation"));
    setFont(dialogFont(8));
    const DialogUnits du(font());
    // The controls start under the pitch picture, however tall the font makes the dialog units, so
    // that they never cover its bottom markers.
    const int shift = std::max(0, formation::kPitchRect.bottom + kPitchGap - du.y(128));
    const auto below = [&du, shift](int x, int y, int width, int height) {
        return du.rect(x, y, width, height).translated(0, shift);
    };
    setFixedSize(du.size(408, 361) + QSize(0, shift));
    m_pitch.load(QStringLiteral(":/res/pitch.png"));

    label(QStringLiteral("select formation"), below(7, 128, 70, 8), this);
    m_formations = new QListWidget(this);
    m_formations->setObjectName(QStringLiteral("formations"));
    m_formations->setGeometry(below(7, 139, 70, 150));
    for (const std::string_view name : kFormationNames) m_formations->addItem(latin1(name));

    m_roles = new QComboBox(this);
    m_roles->setObjectName(QStringLiteral("roles"));
    for (const Role& role : kRoles) m_roles->addItem(latin1(role.label));
    m_roles->setMaxVisibleItems(20);
    m_roles->setGeometry(below(110, 128, 44, 13));

    auto* group = new QButtonGroup(this);
    for (int k = 0; k < kFormationPositions; ++k) {
        // The game's own labels: Player_01 to Player_09, then Player_010.
        m_positions[k] = new QRadioButton(QStringLiteral("Player_0%1").arg(k + 1), this);
        m_positions[k]->setObjectName(QStringLiteral("position%1").arg(k));
        m_positions[k]->setGeometry(below(165, 128 + 15 * k, 50, 12));
        group->addButton(m_positions[k], k);
        m_roleLabels[k] = new QLabel(this);
        m_roleLabels[k]->setObjectName(QStringLiteral("role%1").arg(k));
        m_roleLabels[k]->setGeometry(below(218, 130 + 15 * k, 30, 8));
    }

    auto* up = pushButton(QStringLiteral("up"), below(304, 132, 40, 14), this);
    auto* left = pushButton(QStringLiteral("left"), below(262, 150, 40, 14), this);
    auto* right = pushButton(QStringLiteral("right"), below(346, 150, 40, 14), this);
    auto* down = pushButton(QStringLiteral("down"), below(304, 168, 40, 14), this);
    auto* load = pushButton(QStringLiteral("Load formation"), below(284, 210, 80, 14), this);
    auto* acceptButton = pushButton(QStringLiteral("Accept"), below(284, 330, 50, 14), this);
    auto* cancelButton = pushButton(QStringLiteral("Cancel"), below(340, 330, 50, 14), this);
    up->setObjectName(QStringLiteral("up"));
    down->setObjectName(QStringLiteral("down"));
    left->setObjectName(QStringLiteral("left"));
    right->setObjectName(QStringLiteral("right"));
    load->setObjectName(QStringLiteral("loadFormation"));
    acceptButton->setObjectName(QStringLiteral("accept"));
    cancelButton->setObjectName(QStringLiteral("cancel"));

    const GameBlocks blocks = m_context.store.blocks();
    m_list[0] = readFormation(blocks, m_row);
    for (int p = 1; p < kFormationListSize; ++p) m_list[p] = presetFormation(blocks, p);

    connect(up, &QPushButton::clicked, this, [this] { onMoveClicked(formation::Move::Up); });
    connect(down, &QPushButton::clicked, this, [this] { onMoveClicked(formation::Move::Down); });
    connect(left, &QPushButton::clicked, this, [this] { onMoveClicked(formation::Move::Left); });
    connect(right, &QPushButton::clicked, this, [this] { onMoveClicked(formation::Move::Right); });
    connect(load, &QPushButton::clicked, this, &FormationWindow::onLoadFormationClicked);
    connect(acceptButton, &QPushButton::clicked, this, &FormationWindow::onAcceptClicked);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(group, &QButtonGroup::idClicked, this, [this](int k) { selectPosition(k); });
    wheelOnlyWithFocus(this);
    connect(m_roles, &QComboBox::activated, this, &FormationWindow::onRoleActivated);
    connect(m_formations, &QListWidget::currentRowChanged, this, &FormationWindow::applyFormation);
    // A click on the entry already chosen applies it again: "default" undoes the edits since.
    connect(m_formations, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { applyFormation(m_formations->row(item)); });

    m_formations->setCurrentRow(0);
    m_undone.clear();
    addUndoKeys(this, [this] { onUndo(); }, [this] { onRedo(); });
    // An undo of the data while nothing here is changed yet shows the formation as it is now.
    connect(&m_context.document, &Document::changed, this, [this](bool byControl) {
        if (byControl) return;
        m_list[0] = readFormation(m_context.store.blocks(), m_row);
        if (!m_undone.empty()) return;
        m_working = m_list[0];
        refreshPositions();
    });
}

void FormationWindow::rememberWorking() {
    m_undone.push_back(m_working);
    m_redone.clear();
}

void FormationWindow::onUndo() {
    if (m_undone.empty()) {
        m_context.document.undo();
        return;
    }
    takeWorking(m_undone, m_redone);
}

void FormationWindow::onRedo() {
    if (m_redone.empty()) {
        m_context.document.redo();
        return;
    }
    takeWorking(m_redone, m_undone);
}

void FormationWindow::takeWorking(std::vector<FormationRecord>& from, std::vector<FormationRecord>& to) {
    to.push_back(m_working);
    m_working = from.back();
    from.pop_back();
    const int selected = m_selected;
    refreshPositions();
    selectPosition(selected);
}

void FormationWindow::applyFormation(int entry) {
    if (entry < 0 || entry >= kFormationListSize) return;
    rememberWorking();
    m_working = m_list[static_cast<std::size_t>(entry)];
    refreshPositions();
}

void FormationWindow::refreshPositions() {
    for (int k = 0; k < kFormationPositions; ++k) m_roleLabels[k]->setText(latin1(roleLabel(m_working[k])));
    update(toQRect(formation::kPitchRect));
    m_positions[0]->setChecked(true);
    selectPosition(0, true);
}

void FormationWindow::selectPosition(int k, bool force) {
    if (k < 0 || k >= kFormationPositions) return;
    if (k == m_selected && !force) return;
    const auto box = [this](int position) {
        return toQRect(
            formation::markerBox(formation::positionX(m_working, position), formation::positionY(m_working, position)));
    };
    update(box(m_selected));
    update(box(k));
    m_selected = k;
    m_positions[k]->setChecked(true);

    const QRect radio = m_positions[k]->geometry();
    m_roles->move(radio.left() - formation::kRoleListOffset, radio.top());
    if (const auto index = roleListIndex(m_working[k])) m_roles->setCurrentIndex(*index);
}

void FormationWindow::onRoleActivated(int index) {
    if (index < 0 || index >= kRoleCount) return;
    rememberWorking();
    m_working[m_selected] = kRoles[index].code;
    m_roleLabels[m_selected]->setText(latin1(kRoles[index].label));
}

void FormationWindow::onMoveClicked(formation::Move move) {
    FormationRecord before = m_working;
    if (!formation::movePosition(m_working, m_selected, move)) return;
    m_undone.push_back(before);
    m_redone.clear();
    update(toQRect(
        formation::moveBox(formation::positionX(m_working, m_selected), formation::positionY(m_working, m_selected))));
}

void FormationWindow::onLoadFormationClicked() {
    const QString file = m_context.ui.openFile(QStringLiteral("open team data file"), datFileFilters(),
                                               toQString(m_context.programDirectory));
    if (file.isEmpty()) return;
    const auto loaded = readFormationFromTeamFile(toPath(file), m_context.ui);
    if (!loaded) return;
    rememberWorking();
    m_working = *loaded;
    refreshPositions();
    m_context.ui.information("Formation load OK.");
}

void FormationWindow::onAcceptClicked() {
    m_context.document.act([this] { storeFormation(m_context.store.blocks(), m_row, m_working); });
    accept();
}

void FormationWindow::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.drawPixmap(formation::kPitchOrigin.x, formation::kPitchOrigin.y, m_pitch);

    painter.setBrush(Qt::NoBrush);
    for (const formation::Zone& zone : formation::zones()) {
        painter.setPen(QPen(QColor(QRgb(zone.rgb)), 1));
        painter.drawRect(
            QRect(QPoint(zone.topLeft.x, zone.topLeft.y), QPoint(zone.bottomRight.x - 1, zone.bottomRight.y - 1)));
    }

    painter.setPen(QPen(Qt::black, 1));
    for (int k = 0; k < kFormationPositions; ++k) {
        const PixelPoint c =
            formation::markerCentre(formation::positionX(m_working, k), formation::positionY(m_working, k));
        painter.setBrush(k == m_selected ? QColor(193, 0, 0) : QColor(76, 193, 141));
        painter.drawEllipse(QRect(c.x - formation::kMarkerRadius, c.y - formation::kMarkerRadius,
                                  2 * formation::kMarkerRadius, 2 * formation::kMarkerRadius));
    }
}

}  // namespace tarvo::gui
