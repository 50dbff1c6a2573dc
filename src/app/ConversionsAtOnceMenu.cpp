#include "app/ConversionsAtOnceMenu.h"

#include "dialogs/UserSettings.h"

#include <QAction>
#include <QMenu>
#include <QThread>

#include <algorithm>

namespace clipforge {

QString atOnceHint(int jobs)
{
    return jobs == 1 ? QStringLiteral("converts 1 job at a time")
                     : QStringLiteral("converts %1 jobs at a time").arg(jobs);
}

ConversionsAtOnceMenu::ConversionsAtOnceMenu(QMenu& menu, QAction& item)
    : menu_(menu), item_(item), choices_(this)
{
    for (int jobs = 1; jobs <= mostAtOnce(); ++jobs) {
        QAction* choice = menu.addAction(QStringLiteral("&%1").arg(jobs));
        choice->setStatusTip(atOnceHint(jobs));
        choice->setCheckable(true);
        choices_.addAction(choice);
        connect(choice, &QAction::triggered, this, [this, jobs] { choose(jobs); });
    }
    draw_.Attach(&menu);
    // Another window may have chosen meanwhile.
    if (auto* jobMenu = qobject_cast<QMenu*>(menu.parentWidget()))
        connect(jobMenu, &QMenu::aboutToShow, this, [this] { showChoice(); });
    showChoice();
}

int ConversionsAtOnceMenu::mostAtOnce()
{
    return std::max(2, QThread::idealThreadCount());
}

int ConversionsAtOnceMenu::chosen()
{
    return std::clamp(UserSettings::jobsAtOnce(), 1, mostAtOnce());
}

void ConversionsAtOnceMenu::choose(int jobs)
{
    UserSettings::rememberJobsAtOnce(jobs);
    showChoice();
}

void ConversionsAtOnceMenu::showChoice()
{
    const int jobs = chosen();
    item_.setStatusTip(atOnceHint(jobs));
    const QList<QAction*> all = choices_.actions();
    if (jobs <= all.size())
        all[jobs - 1]->setChecked(true);
}

}  // namespace clipforge
