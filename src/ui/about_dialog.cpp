#include "ui/about_dialog.h"

#include <QIcon>
#include <QMessageBox>

#include "store/messages.h"
#include "ui/resources_qt.h"

#ifndef TARVO_VERSION
#define TARVO_VERSION "unknown"
#endif

namespace tarvo::gui {

void showAboutBox(QWidget* parent) {
    ensureResources();
    const QString name = QString::fromLatin1(kAppName);
    QMessageBox box(parent);
    box.setWindowTitle(QStringLiteral("About %1").arg(name));
    box.setIconPixmap(QIcon(QStringLiteral(":/res/icon.png")).pixmap(32, 32));
    box.setText(QStringLiteral("%1 Version %2").arg(name, QStringLiteral(TARVO_VERSION)));
    box.setInformativeText(
        QStringLiteral("An editor of the team and player data of a soccer game's disc.\n\n"
                       "Licensed under the GNU General Public License, version 3 or later "
                       "(GPL-3.0-or-later); it comes with no warranty. See LICENSE.\n\n"
                       "The Japanese characters of names are drawn from the 14-dot glyphs of the Shinonome "
                       "fonts (public domain) and, for the codes they lack, of GNU Unifont, which is "
                       "distributed under the GNU General Public License, version 2 or later "
                       "(see GLYPH_FONT_LICENSE.txt)."));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

}  // namespace tarvo::gui
