#include "app/MainDlg.h"

TmainDlg::TmainDlg()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                           | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("Norvane Clipforge"));
    setFixedSize(861, 529);
}
