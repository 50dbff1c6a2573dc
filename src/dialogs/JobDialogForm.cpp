#include "dialogs/JobDialogForm.h"

#include "controls/FlatEdit.h"
#include "controls/LinePanel.h"
#include "controls/MyButtonEx.h"
#include "controls/MyFlatComboBox.h"
#include "controls/MyListBox.h"
#include "controls/PngImage.h"
#include "controls/PngImageList.h"
#include "controls/PngSpeedButton.h"
#include "core/LocalText.h"
#include "core/Paths.h"
#include "dialogs/Artwork.h"
#include "dialogs/BrowseFolder.h"
#include "dialogs/DefaultFolderLink.h"
#include "dialogs/DialogAnchor.h"
#include "dialogs/FormStyle.h"
#include "dialogs/KeyPreview.h"
#include "dialogs/ScreenFit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace clipforge {

using namespace formstyle;

namespace {

constexpr int clientWidth = 442;
constexpr int clientHeight = 547;

}  // namespace

JobDialogForm::JobDialogForm(const QString& caption, const std::vector<std::string>& profileNames)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(caption);
    setFixedSize(clientWidth, clientHeight);
    setBackground(*this, formColor);
    setFont(formFont(-12));
    Label1 = makeLabel(this, QStringLiteral("Information"), 8, 272, -16, fsRegular, captionBlue);
    Label2 = makeLabel(this, QStringLiteral("save path (leave it blank to use global path)"), 8, 192, -16,
                       fsRegular, captionBlue);
    createInformation();
    createFileList();
    createButtons();
    createFolderAndProfile(profileNames);
    createDefaultFolderLink();
    setTabOrders();
    nameForAssistiveTechnology();
    // The form sees the keys before its controls, so OK and Cancel answer their letters
    // whichever control has the focus, the open profile list included.
    new KeyPreview(*this, [this](QWidget& receiver, QKeyEvent& key) { return previewKey(receiver, key); });
    fitToScreen(*this, {{LinePanel1, 80}, {LinePanel2, 60}, {LinePanel1, 45}});
}

void JobDialogForm::createInformation()
{
    LinePanel2 = new TLinePanel(this);
    LinePanel2->setGeometry(9, 304, 425, 177);
    LinePanel2->setColor(clBlack);
    LinePanel2->setLineColor(panelLine);
    LinePanel2->setBorderWidth(5);
    Memo1 = new QPlainTextEdit(LinePanel2);
    Memo1->setGeometry(5, 5, 425 - 10, 177 - 10);
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setFont(formFont(-16));
    Memo1->viewport()->setCursor(Qt::ArrowCursor);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    QPalette colours = Memo1->palette();
    colours.setColor(QPalette::Base, Qt::black);
    colours.setColor(QPalette::Text, QColor(0, 255, 0));
    Memo1->setPalette(colours);
    // Tab passes it by: it would only hand the focus on to OK, out of the visual order.
    Memo1->setFocusPolicy(Qt::ClickFocus);
    Memo1->installEventFilter(this);
}

void JobDialogForm::createFileList()
{
    PngImageList1 = new TPngImageList(this);
    PngImageList1->SetWidth(32);
    PngImageList1->SetHeight(32);
    addListPicture(*PngImageList1, artwork::picture(QStringLiteral("dialog_row")));
    LinePanel1 = new TLinePanel(this);
    LinePanel1->setGeometry(9, 8, 425, 129);
    LinePanel1->setColor(clWhite);
    LinePanel1->setLineColor(panelLine);
    LinePanel1->setBorderWidth(5);
    MyListBox1 = new TMyListBox(LinePanel1);
    MyListBox1->setGeometry(5, 5, 425 - 10, 129 - 10);
    MyListBox1->setFont(formFont(-16));
    MyListBox1->setFontColor(listText);
    MyListBox1->setImageList(PngImageList1);
    MyListBox1->setImageIndex(0);
    MyListBox1->setItemHeight(35);
}

void JobDialogForm::createButtons()
{
    btnOk = makeButton(this, QStringLiteral("&OK"), QRect(312, 496, 121, 41));
    btnOk->OnClick = [this](auto*) { btnOkClick(); };
    btnCancel = makeButton(this, QStringLiteral("&Cancel"), QRect(184, 496, 121, 41));
    btnCancel->OnClick = [this](auto*) { btnCancelClick(); };
    btDirectory = new TPngSpeedButton(this);
    btDirectory->setGeometry(410, 226, 24, 24);
    btDirectory->SetFlat(true);
    btDirectory->setToolTip(QStringLiteral("directory select"));
    btDirectory->SetPngImage(artwork::picture(QStringLiteral("folder")));
    btDirectory->OnClick = [this](auto*) { btDirectoryClick(); };
    btDirectory->setFocusPolicy(Qt::TabFocus);
}

void JobDialogForm::createFolderAndProfile(const std::vector<std::string>& profileNames)
{
    etDirectory = new TMyFlatEdit(this);
    etDirectory->setGeometry(8, 224, 393, 28);
    etDirectory->setFont(formFont(-16));
    etDirectory->setFontColor(listText);
    etDirectory->setColorBorder(clWhite);
    etDirectory->setColorFlat(clWhite);
    etDirectory->setValueType(evDefault);
    etDirectory->setReadOnly(true);
    ComboBox1 = new TMyFlatComboBox(this);
    ComboBox1->setGeometry(9, 152, 425, 30);
    ComboBox1->setFont(formFont(-16));
    ComboBox1->setFontColor(listText);
    ComboBox1->setStyle(csDropDownList);
    ComboBox1->setColor(clWindow);
    ComboBox1->setColorArrowBackground(clBtnFace);
    ComboBox1->setColorBorder(clWhite);
    ComboBox1->setItemHeight(22);
    for (const std::string& name : profileNames)
        ComboBox1->addItem(widen(name));
    ComboBox1->setCurrentIndex(ComboBox1->count() > 0 ? 0 : -1);
}

void JobDialogForm::createDefaultFolderLink()
{
    lbDefaultFolder = new DefaultFolderLink(this, [this] {
        etDirectory->clear();
        folderReset();
    });
    connect(etDirectory, &QLineEdit::textChanged, lbDefaultFolder,
            [this](const QString& folder) { lbDefaultFolder->setUsable(!folder.isEmpty()); });
}

// Top to bottom, left to right, as the eye reads the form.
void JobDialogForm::setTabOrders()
{
    QWidget* const order[] = {MyListBox1, ComboBox1, etDirectory, btDirectory, lbDefaultFolder, btnCancel, btnOk};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
}

void JobDialogForm::nameForAssistiveTechnology()
{
    // The box sits inside its frame, out of reach of its heading's buddy link.
    Memo1->setAccessibleName(Label1->text());
    Label2->setBuddy(etDirectory);
    MyListBox1->setAccessibleName(QStringLiteral("Files"));
    // Nothing on the form names the profile list: a label that never shows gives it a label for
    // screen readers that follow labels, and the name those that read names.
    auto* profileLabel = new QLabel(QStringLiteral("Profile"), this);
    profileLabel->hide();
    profileLabel->setBuddy(ComboBox1);
    ComboBox1->setAccessibleName(profileLabel->text());
    btDirectory->setAccessibleName(QStringLiteral("Browse for the save folder"));
}

void JobDialogForm::appendLine(const QString& text)
{
    Memo1->appendPlainText(text);
}

void JobDialogForm::setLine(int index, const QString& text)
{
    QStringList all = lines();
    while (all.size() <= index)
        all << QString();
    all[index] = text;
    Memo1->setPlainText(all.join(QLatin1Char('\n')));
}

QStringList JobDialogForm::lines() const
{
    const QString text = Memo1->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void JobDialogForm::btnOkClick()
{
    Confirmed = true;
    accept();
}

void JobDialogForm::btnCancelClick()
{
    reject();
}

bool JobDialogForm::browseIntoField()
{
    const QString folder = BrowseForFolder(this, QStringLiteral("Save Directory"), etDirectory->text());
    if (folder.isEmpty())
        return false;
    // A chosen folder carries its trailing separator in a job ("/out" becomes "/out/").
    etDirectory->setText(widen(withTrailingSeparator(narrow(folder))));
    return true;
}

bool JobDialogForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Memo1 && event->type() == QEvent::FocusIn)
        Memo1Enter();
    return QDialog::eventFilter(watched, event);
}

void JobDialogForm::Memo1Enter()
{
    // The information box is for reading only; the focus moves on to OK.
    btnOk->setFocus(Qt::TabFocusReason);
}

bool JobDialogForm::previewKey(QWidget& receiver, QKeyEvent& key)
{
    return previewEnter(receiver, key) || previewAccelerator(key);
}

// Enter presses the focused button itself, picks the row of an open profile list, and presses
// OK from anywhere else. The open list closes on Enter before the key itself is delivered, so
// it is known by the key having been addressed to it, a window of its own.
bool JobDialogForm::previewEnter(const QWidget& receiver, const QKeyEvent& key)
{
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    if (!enter || (key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier || key.isAutoRepeat())
        return false;
    const QWidget* focused = focusWidget();
    const bool pressesItself = focused == btnCancel || focused == btnOk || focused == btDirectory || focused == lbDefaultFolder;
    if (receiver.window() != this || pressesItself)
        return false;
    btnOk->Click();
    return true;
}

bool JobDialogForm::previewAccelerator(QKeyEvent& key)
{
    const QChar letter = altLetter(key);
    if (letter.isNull())
        return false;
    for (TMyButtonEx* button : {btnOk, btnCancel}) {
        if (acceleratorOf(button->Caption()).toUpper() != letter)
            continue;
        if (ComboBox1->DroppedDown())
            ComboBox1->hidePopup();
        return button->DialogChar(letter);
    }
    return false;
}

void JobDialogForm::keyPressEvent(QKeyEvent* event)
{
    FormKeyDown(event);
}

void JobDialogForm::FormKeyDown(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        btnCancelClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace clipforge
