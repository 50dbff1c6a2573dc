#pragma once

#include "app/WindowAnchors.h"
#include "dialogs/FittedLabel.h"

#include <QWidget>

#include <memory>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class TGradientProgressBar;
class TImageButton;
class TLinePanel;
class TMyButtonEx;
class TMyFlatHint;
class TPngImageList;
class TUIHook;

namespace clipforge {
class JobTreeView;
class LinkLabel;
}

// The main window. The form only creates and places its controls; the controller it
// creates in FormCreate gives them their behaviour.
class TmainDlg : public QWidget {
public:
    static constexpr QSize designedSize {861, 529};

    TmainDlg();
    ~TmainDlg() override;

    // Where the window opens on its screen: where it was left, when that still fits.
    void placeOnScreen();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

public:
    TmainDlg(const TmainDlg&) = delete;
    TmainDlg& operator=(const TmainDlg&) = delete;

    // Null when the controller could not be built (an unreadable catalogue): the window then
    // opens with no command wired.
    TUIHook* hook() const { return hook_.get(); }

    QLabel* Image1 = nullptr;
    TImageButton* btnAdd = nullptr;
    QLabel* lbAdd = nullptr;
    QLabel* Image2 = nullptr;
    TGradientProgressBar* ProgressBar1 = nullptr;
    clipforge::LinkLabel* lbUpdate = nullptr;
    QLabel* Image3 = nullptr;
    TImageButton* btnConvert = nullptr;
    QLabel* lbConvert = nullptr;
    clipforge::FittedLabel* lbTimer = nullptr;
    TImageButton* btnStop = nullptr;
    QLabel* lbStop = nullptr;
    TImageButton* btnSupport = nullptr;
    QLabel* lbSupport = nullptr;
    TMyButtonEx* btnImport = nullptr;
    TMyButtonEx* btnExport = nullptr;
    TLinePanel* LinePanel1 = nullptr;
    TImageButton* btnOption = nullptr;
    TImageButton* btnList = nullptr;
    QFrame* Shape1 = nullptr;
    QLabel* lbList = nullptr;
    QLabel* lbOption = nullptr;
    clipforge::FittedLabel* lbCount = nullptr;
    clipforge::JobTreeView* JobTree = nullptr;
    TLinePanel* LinePanel2 = nullptr;
    TPngImageList* listImage = nullptr;
    TMyFlatHint* MyFlatHint1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* pmiDelete = nullptr;
    QAction* pmiClear = nullptr;
    QAction* pmiProperties = nullptr;
    QAction* pmiOpenFolder = nullptr;
    QAction* pmiRemoveFinished = nullptr;
    QAction* pmiProfiles = nullptr;
    QMenu* pmConversionsAtOnce = nullptr;
    QAction* pmiConversionsAtOnce = nullptr;

private:
    void FormCreate();
    void FormDestroy();

    void createPictures();
    void createToolbar();
    void createBottomControls();
    void createListPanel();
    void createListArea();
    void createComponents();
    void createPopupMenu();
    void setKeyboardOrder();
    void nameForAssistiveTechnology();
    void anchorControls();

    std::unique_ptr<TUIHook> hook_;
    clipforge::WindowAnchors anchors_;
};
