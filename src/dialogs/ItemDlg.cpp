#include "dialogs/ItemDlg.h"

#include "controls/MyListBox.h"

TItemDlg::TItemDlg(const std::vector<std::string>& profileNames)
    : JobDialogForm(QStringLiteral("Item Property"), profileNames)
{
}

void TItemDlg::setFile(const QString& fileName)
{
    MyListBox1->addItem(fileName);
}

void TItemDlg::btDirectoryClick()
{
    // A cancelled browse keeps the folder the job had.
    browseIntoField();
}
