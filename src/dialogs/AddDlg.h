#pragma once

#include "dialogs/JobDialogForm.h"

// "Add Files": one profile and one output folder for all the files the user just picked.
class TaddDlg : public clipforge::JobDialogForm {
public:
    explicit TaddDlg(const std::vector<std::string>& profileNames);

    // The picked names, also shown as the rows of the list box.
    void setFiles(const QStringList& names);
    QStringList FileList;

    void ComboBox1Change();

    // Where files go when the folder field stays empty; named on the "save to" line.
    void setDefaultFolder(const QString& folder) { DefaultFolder = folder; }
    QString saveToLine() const;

protected:
    void btDirectoryClick() override;
    void folderReset() override;

private:
    void ChooseDirectory();

    QString DefaultFolder;
};
