#include "dialogs/AddDlg.h"

#include "controls/MyFlatComboBox.h"
#include "controls/FlatEdit.h"
#include "controls/MyListBox.h"

namespace {

constexpr int formatLine = 1;
constexpr int saveToIndex = 2;

}  // namespace

TaddDlg::TaddDlg(const std::vector<std::string>& profileNames)
    : JobDialogForm(QStringLiteral("Add Files"), profileNames)
{
    QObject::connect(ComboBox1, &QComboBox::activated, this, [this] { ComboBox1Change(); });
}

void TaddDlg::setFiles(const QStringList& names)
{
    FileList = names;
    MyListBox1->addItems(names);
}

void TaddDlg::ComboBox1Change()
{
    setLine(formatLine, QStringLiteral("format: %1").arg(ComboBox1->currentText()));
}

void TaddDlg::btDirectoryClick()
{
    ChooseDirectory();
}

void TaddDlg::ChooseDirectory()
{
    // A cancelled browse also empties the field, so that the line, the field and the
    // folder the jobs get all agree: this is how a user goes back to the global folder.
    if (!browseIntoField())
        etDirectory->clear();
    setLine(saveToIndex, saveToLine());
}

void TaddDlg::folderReset()
{
    setLine(saveToIndex, saveToLine());
}

QString TaddDlg::saveToLine() const
{
    const QString folder = etDirectory->text();
    if (!folder.isEmpty())
        return QStringLiteral("save to: %1").arg(folder);
    if (DefaultFolder.isEmpty())
        return QStringLiteral("save to: use global path");
    return QStringLiteral("save to: use global path (%1)").arg(DefaultFolder);
}
