#include "ui/ui_services_qt.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include "ui/list_dialog.h"

namespace tarvo::gui {

namespace {

// The filters keep their labels ("All Files (*.*)"), but "*.*" would miss the many Linux file
// names without a dot, so it matches every file. The dialog shows the labels only.
QStringList dialogFilters(const QStringList& filters) {
    static const QRegularExpression patterns(QStringLiteral("\\(([^()]*)\\)\\s*$"));
    QStringList result;
    for (const QString& filter : filters) {
        const QRegularExpressionMatch match = patterns.match(filter);
        QString pattern = match.hasMatch() ? match.captured(1) : QStringLiteral("*");
        if (pattern.trimmed() == QLatin1String("*.*")) pattern = QStringLiteral("*");
        result << filter + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return result;
}

QString runFileDialog(QWidget* parent, const QString& title, const QStringList& filters, const QString& directory,
                      QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, title, directory);
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilters(dialogFilters(filters));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

// A folder chooser whose OK button follows a rule, and which refuses to close on a folder that
// breaks it (the dialog re-enables its button on its own now and then).
class FolderDialog : public QFileDialog {
public:
    FolderDialog(const QString& prompt, const QString& start, std::function<bool(const QString&)> rule)
        : QFileDialog(nullptr, prompt, start), m_rule(std::move(rule)) {
        setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::ShowDirsOnly);
        setFileMode(QFileDialog::Directory);
        setLabelText(QFileDialog::LookIn, prompt);
        connect(this, &QFileDialog::currentChanged, this, [this] { scheduleUpdate(); });
        connect(this, &QFileDialog::directoryEntered, this, [this] { scheduleUpdate(); });
        // The folder list fills in the background and the dialog sets its own button state as it
        // goes, so the rule is also applied again a few times a second while the dialog is open.
        auto* refresh = new QTimer(this);
        connect(refresh, &QTimer::timeout, this, [this] { scheduleUpdate(); });
        refresh->start(200);
        scheduleUpdate();
    }

    void accept() override {
        if (!m_rule(chosenFolder())) return;
        QFileDialog::accept();
    }

private:
    QString chosenFolder() const {
        const QStringList files = selectedFiles();
        QString folder = files.isEmpty() ? directory().absolutePath() : files.constFirst();
        return QFileInfo(folder).isDir() ? folder : directory().absolutePath();
    }

    void scheduleUpdate() {
        QTimer::singleShot(0, this, [this] {
            const auto boxes = findChildren<QDialogButtonBox*>();
            for (QDialogButtonBox* box : boxes) {
                QPushButton* ok = box->button(QDialogButtonBox::Open);
                if (!ok) ok = box->button(QDialogButtonBox::Ok);
                if (ok) ok->setEnabled(m_rule(chosenFolder()));
            }
        });
    }

    std::function<bool(const QString&)> m_rule;
};

}  // namespace

QStringList datFileFilters() { return {QStringLiteral("dat Files (*.dat)"), QStringLiteral("All Files (*.*)")}; }

void QtUiServices::show(const Message& message) {
    // The reader's own box has no owner and holds the whole program until answered.
    const bool reader = message.kind == MessageKind::ReaderError;
    QMessageBox box(reader ? nullptr : m_parent);
    box.setWindowTitle(QString::fromStdString(message.caption));
    box.setText(QString::fromStdString(message.text));
    box.setStandardButtons(QMessageBox::Ok);
    switch (message.kind) {
    case MessageKind::Warning: box.setIcon(QMessageBox::Warning); break;
    case MessageKind::Information: box.setIcon(QMessageBox::Information); break;
    case MessageKind::ReaderError:
        box.setIcon(QMessageBox::NoIcon);
        box.setWindowModality(Qt::ApplicationModal);
        break;
    case MessageKind::FileError: box.setIcon(QMessageBox::NoIcon); break;
    }
    box.exec();
}

QString QtUiServices::openFile(const QString& title, const QStringList& filters, const QString& directory) {
    return runFileDialog(m_parent, title, filters, directory, QFileDialog::AcceptOpen);
}

QString QtUiServices::saveFile(const QString& title, const QStringList& filters, const QString& directory) {
    return runFileDialog(m_parent, title, filters, directory, QFileDialog::AcceptSave);
}

QString QtUiServices::chooseDirectory(const QString& prompt, const QString& start,
                                      const std::function<bool(const QString&)>& acceptable) {
    FolderDialog dialog(prompt, start, acceptable);
    if (!start.isEmpty()) dialog.selectFile(start);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString folder = dialog.selectedFiles().constFirst();
    return QFileInfo(folder).isDir() ? folder : QString();
}

bool QtUiServices::askYesNo(const QString& question) {
    return QMessageBox::question(m_parent, QString::fromLatin1(kAppName), question,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

namespace {

// A question with an accepting answer (the default), a destructive one and Cancel: 0, 1 or -1.
int askTwoWaysOrCancel(QWidget* parent, QMessageBox::Icon icon, const QString& question, const QString& accept,
                       const QString& destroy) {
    QMessageBox box(icon, QString::fromLatin1(kAppName), question, QMessageBox::NoButton, parent);
    QPushButton* first = box.addButton(accept, QMessageBox::AcceptRole);
    QPushButton* second = box.addButton(destroy, QMessageBox::DestructiveRole);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(first);
    box.exec();
    return box.clickedButton() == first ? 0 : box.clickedButton() == second ? 1 : -1;
}

}  // namespace

UiServices::CloseAnswer QtUiServices::askWriteBeforeClosing(const QString& question) {
    switch (askTwoWaysOrCancel(m_parent, QMessageBox::Question, question, QStringLiteral("Write"),
                               QStringLiteral("Discard"))) {
    case 0: return CloseAnswer::Write;
    case 1: return CloseAnswer::Discard;
    default: return CloseAnswer::Cancel;
    }
}

UiServices::ChangedAnswer QtUiServices::askChangedOnDisk(const QString& question) {
    switch (askTwoWaysOrCancel(m_parent, QMessageBox::Warning, question, QStringLiteral("Reload and keep my changes"),
                               QStringLiteral("Overwrite"))) {
    case 0: return ChangedAnswer::ReloadKeepingChanges;
    case 1: return ChangedAnswer::Overwrite;
    default: return ChangedAnswer::Cancel;
    }
}

bool QtUiServices::confirmList(const QString& question, const QStringList& lines, const QString& okText) {
    ListDialog dialog(question, lines, ListDialog::Mode::Confirm, okText, m_parent);
    return dialog.exec() == QDialog::Accepted;
}

int QtUiServices::chooseFromList(const QString& prompt, const QStringList& entries, const QString& okText) {
    ListDialog dialog(prompt, entries, ListDialog::Mode::Choose, okText, m_parent);
    return dialog.exec() == QDialog::Accepted ? dialog.chosen() : -1;
}

}  // namespace tarvo::gui
