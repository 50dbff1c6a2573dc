#pragma once

#include "controls/FlatEdit.h"
#include "controls/MyFlatComboBox.h"
#include "controls/PngImageList.h"

#include <QDialog>
#include <QStringList>

#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;
class TLinePanel;
class TMyButtonEx;
class TMyListBox;
class TPngSpeedButton;

namespace clipforge {

class DefaultFolderLink;

// The form both job dialogs share: the file list, the profile choice, the folder field with
// its browse button, the black information box and OK / Cancel.
class JobDialogForm : public QDialog {
public:
    JobDialogForm(const QString& caption, const std::vector<std::string>& profileNames);

    // Set only by OK; Cancel, Escape and the close box leave it false.
    bool Confirmed = false;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    TPngSpeedButton* btDirectory = nullptr;
    TLinePanel* LinePanel2 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    TLinePanel* LinePanel1 = nullptr;
    TMyListBox* MyListBox1 = nullptr;
    TMyButtonEx* btnOk = nullptr;
    TMyButtonEx* btnCancel = nullptr;
    TMyFlatEdit* etDirectory = nullptr;
    TMyFlatComboBox* ComboBox1 = nullptr;
    TPngImageList* PngImageList1 = nullptr;
    DefaultFolderLink* lbDefaultFolder = nullptr;

    // The information box, line by line.
    void appendLine(const QString& text);
    void setLine(int index, const QString& text);
    QStringList lines() const;

    void btnOkClick();
    void btnCancelClick();

protected:
    // Puts the browsed folder, with its trailing separator, into the folder field; false when
    // the browse was cancelled.
    bool browseIntoField();
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    virtual void btDirectoryClick() = 0;
    // The folder field was emptied by "use default folder".
    virtual void folderReset() {}

private:
    void createInformation();
    void createFileList();
    void createButtons();
    void createFolderAndProfile(const std::vector<std::string>& profileNames);
    void createDefaultFolderLink();
    void setTabOrders();
    void nameForAssistiveTechnology();
    bool previewKey(QWidget& receiver, QKeyEvent& key);
    bool previewEnter(const QWidget& receiver, const QKeyEvent& key);
    bool previewAccelerator(QKeyEvent& key);
    void Memo1Enter();
    void FormKeyDown(QKeyEvent* event);
};

}  // namespace clipforge
