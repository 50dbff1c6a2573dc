#pragma once

#include "controls/MenuDraw.h"

#include <QActionGroup>
#include <QObject>
#include <QString>

class QAction;
class QMenu;

namespace clipforge {

// "Conversions at once" in the job menu: how many jobs the window converts together, from 1 up
// to the number of cores (at least 2), kept in the user's settings for the next Convert.
class ConversionsAtOnceMenu : public QObject {
public:
    // Fills menu, the submenu that item opens, with one choice per number.
    ConversionsAtOnceMenu(QMenu& menu, QAction& item);

    static int mostAtOnce();
    // What the next Convert uses: the kept number, within the menu's choices.
    static int chosen();

    void choose(int jobs);

private:
    void showChoice();

    QMenu& menu_;
    QAction& item_;
    QActionGroup choices_;
    TMenuDraw draw_;
};

// "converts 1 job at a time", "converts 2 jobs at a time"
QString atOnceHint(int jobs);

}  // namespace clipforge
