#include "ui/chd_progress_qt.h"

#include <algorithm>
#include <cmath>

#include <QCloseEvent>
#include <QCoreApplication>

#include "store/chd_source.h"
#include "store/messages.h"

namespace tarvo::gui {

ChdProgressDialog::ChdProgressDialog(QWidget* parent) : QProgressDialog(parent) {
    setWindowTitle(QString::fromLatin1(kAppName));
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    setWindowModality(Qt::ApplicationModal);
    setCancelButton(nullptr);
    setAutoClose(false);
    setAutoReset(false);
    setMinimumDuration(0);
    setRange(0, 100);
    setMinimumWidth(320);
    m_idle.setSingleShot(true);
    m_idle.setInterval(0);
    connect(&m_idle, &QTimer::timeout, this, &QWidget::hide);
}

void ChdProgressDialog::report(const std::string& step, double percent) {
    m_idle.stop();
    if (percent >= 100.0) {
        hide();
        return;
    }
    const int value = static_cast<int>(std::clamp(std::floor(percent), 0.0, 99.0));
    const QString text = QStringLiteral("%1, %2% complete").arg(QString::fromStdString(step)).arg(percent, 0, 'f', 1);
    if (labelText() != text) setLabelText(text);
    if (!isVisible()) show();
    setValue(value);
    // chdman runs while the caller waits: paint, but let no click start anything meanwhile.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_idle.start();
}

void ChdProgressDialog::closeEvent(QCloseEvent* event) { event->ignore(); }

ChdProgressShown::ChdProgressShown() {
    setChdProgress([this](const std::string& step, double percent) {
        if (!m_dialog) m_dialog = std::make_unique<ChdProgressDialog>();
        m_dialog->report(step, percent);
    });
}

ChdProgressShown::~ChdProgressShown() { setChdProgress(nullptr); }

}  // namespace tarvo::gui
