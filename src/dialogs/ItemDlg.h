#pragma once

#include "dialogs/JobDialogForm.h"

// "Item Property": one queued job's profile and output folder.
class TItemDlg : public clipforge::JobDialogForm {
public:
    explicit TItemDlg(const std::vector<std::string>& profileNames);

    void setFile(const QString& fileName);

protected:
    void btDirectoryClick() override;
};
