#pragma once

#include "dialogs/UserSettings.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace clipforge {

// The program's file dialogs, each opening in the folder it was last confirmed in and
// remembering the folder it is confirmed in now. Filters are in the "Desc|*.a;*.b" form.
namespace remembered {

QStringList openFileNames(UserSettings::FileDialog dialog, QWidget* owner, const QString& filter);
QString openFileName(UserSettings::FileDialog dialog, QWidget* owner, const QString& filter);
QString saveFileName(UserSettings::FileDialog dialog, QWidget* owner, const QString& filter);

}  // namespace remembered

}  // namespace clipforge
