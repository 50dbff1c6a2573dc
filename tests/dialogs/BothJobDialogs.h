#pragma once

#include "dialogs/AddDlg.h"
#include "dialogs/ItemDlg.h"
#include "support/Keyboard.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Runs check on the Add Files dialog and then on the Item Property dialog, each shown as the
// program shows it: modal, with the keyboard.
inline void forBothDialogs(const std::vector<std::string>& profiles,
                           const std::function<void(clipforge::JobDialogForm&)>& check)
{
    for (const bool add : {true, false}) {
        std::unique_ptr<clipforge::JobDialogForm> dialog;
        if (add)
            dialog = std::make_unique<TaddDlg>(profiles);
        else
            dialog = std::make_unique<TItemDlg>(profiles);
        dialog->setModal(true);
        dialog->show();
        ASSERT_TRUE(clipforge::test::giveKeyboard(*dialog));
        check(*dialog);
    }
}
