#include "app/MainDlg.h"

#include "app/Application.h"
#include "app/EndFromOutside.h"
#include "app/JobTreeView.h"
#include "app/UIHook.h"
#include "app/WindowPlacement.h"
#include "controls/GradientProgressBar.h"
#include "controls/ImageButton.h"
#include "controls/LinePanel.h"
#include "controls/LinkLabel.h"
#include "controls/MyButtonEx.h"
#include "controls/MyFlatHint.h"
#include "controls/PngImageList.h"
#include "controls/ContainerAccessible.h"
#include "dialogs/Artwork.h"
#include "dialogs/DialogAnchor.h"
#include "dialogs/FocusReturn.h"
#include "dialogs/FormStyle.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeySequence>
#include <QFrame>
#include <QLabel>
#include <QMenu>

using namespace clipforge::formstyle;

namespace {

constexpr int clientWidth = TmainDlg::designedSize.width();
constexpr int clientHeight = TmainDlg::designedSize.height();

void setFaces(TImageButton& button, const QString& name)
{
    namespace art = clipforge::artwork;
    button.SetImage(art::picture(name + QStringLiteral("_normal")));
    button.SetImageOver(art::picture(name + QStringLiteral("_over")));
    button.SetImageDown(art::picture(name + QStringLiteral("_down")));
    button.SetImageDisable(art::picture(name + QStringLiteral("_disabled")));
    button.SetUseDown(false);
}

TImageButton* makeBigButton(QWidget* parent, const QString& name, int left, const QString& hint)
{
    auto* button = new TImageButton(parent);
    button->setGeometry(left, 16, 112, 101);
    setFaces(*button, name);
    button->setToolTip(hint);
    button->SetTabStop(true);
    return button;
}

TImageButton* makeTab(QWidget* parent, int left)
{
    auto* tab = new TImageButton(parent);
    tab->setGeometry(left, 14, 66, 29);
    const TPngImage face = clipforge::artwork::picture(QStringLiteral("tab"));
    tab->SetImage(face);
    tab->SetImageOver(face);
    tab->SetImageDown(face);
    tab->SetImageDisable(face);
    return tab;
}

QLabel* makePicture(QWidget* parent, const QString& name, const QRect& place)
{
    auto* picture = new QLabel(parent);
    picture->setPixmap(QPixmap::fromImage(clipforge::artwork::image(name)));
    picture->setScaledContents(true);
    picture->setGeometry(place);
    return picture;
}

TMyButtonEx* makeListButton(QWidget* parent, const QString& caption, int left, const QString& hint)
{
    TMyButtonEx* button = makeButton(parent, caption, QRect(left, 456, 121, 41));
    button->setToolTip(hint);
    return button;
}

}  // namespace

TmainDlg::TmainDlg()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                           | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("Norvane Clipforge"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/clipforge-64.png")));
    setMinimumSize(designedSize);
    resize(designedSize);
    setBackground(*this, formColor);
    setFont(formFont(-12));
    createPictures();
    createToolbar();
    createBottomControls();
    createListPanel();
    createComponents();
    setKeyboardOrder();
    nameForAssistiveTechnology();
    anchorControls();
    clipforge::formstyle::centreOnDesktop(*this, clientWidth, clientHeight);
    clipforge::setMainWindow(this);
    new clipforge::FocusReturn(this);
    FormCreate();
}

TmainDlg::~TmainDlg()
{
    FormDestroy();
}

void TmainDlg::FormCreate()
{
    try {
        hook_ = std::make_unique<TUIHook>(*this);
        hook_->InitControls();
    } catch (...) {
        // A catalogue that cannot be read leaves an inert window: nothing is wired.
        hook_.reset();
        clipforge::showException(std::current_exception());
    }
}

void TmainDlg::placeOnScreen()
{
    clipforge::placeMainWindow(*this, designedSize);
}

void TmainDlg::closeEvent(QCloseEvent* event)
{
    using Question = TUIHook::CloseQuestion;
    const Question question = clipforge::endingFromOutside() ? Question::DontAsk : Question::Ask;
    if (hook_ && !hook_->readyToClose(question)) {
        event->ignore();
        return;
    }
    clipforge::rememberMainWindowPlace(*this);
    QWidget::closeEvent(event);
}

// Without a window manager nothing holds the minimum size: the controls then keep their designed
// places and the window's edge cuts them, rather than being pushed over each other.
void TmainDlg::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    anchors_.apply(size() - designedSize);
}

// What lies along the right and the bottom follows those edges; the list and what frames it take
// the room the window gains.
void TmainDlg::anchorControls()
{
    constexpr Qt::Edges topLeft = Qt::TopEdge | Qt::LeftEdge;
    constexpr Qt::Edges topRight = Qt::TopEdge | Qt::RightEdge;
    constexpr Qt::Edges bottomLeft = Qt::BottomEdge | Qt::LeftEdge;
    constexpr Qt::Edges bottomRight = Qt::BottomEdge | Qt::RightEdge;
    constexpr Qt::Edges alongTop = topLeft | Qt::RightEdge;
    constexpr Qt::Edges alongBottom = bottomLeft | Qt::RightEdge;
    constexpr Qt::Edges allEdges = alongTop | Qt::BottomEdge;
    const std::pair<QWidget*, Qt::Edges> anchors[] = {
        {lbUpdate, topRight},       {Image3, bottomRight},   {lbTimer, bottomRight},  {Image2, alongBottom},
        {ProgressBar1, alongBottom}, {btnImport, bottomLeft}, {btnExport, bottomLeft}, {LinePanel1, allEdges},
        {Shape1, alongTop},         {lbCount, topRight},     {JobTree, allEdges},     {LinePanel2, allEdges}};
    for (const auto& [control, edges] : anchors)
        anchors_.add(control, edges);
    JobTree->setDesignedWidth(JobTree->width());
}

void TmainDlg::FormDestroy()
{
    hook_.reset();
}

void TmainDlg::createPictures()
{
    Image1 = makePicture(this, QStringLiteral("banner"), QRect(0, 0, 400, 200));
    Image2 = makePicture(this, QStringLiteral("bottom_strip"), QRect(0, 508, clientWidth, 21));
    Image3 = makePicture(this, QStringLiteral("corner"), QRect(849, 517, 11, 11));
    for (QLabel* picture : {Image1, Image2, Image3})
        clipforge::markDecorative(*picture);
}

void TmainDlg::createToolbar()
{
    btnAdd = makeBigButton(this, QStringLiteral("btnAdd"), 16, QStringLiteral("add video files"));
    lbAdd = makeLabel(this, QStringLiteral("&Add"), 60, 96, -13, fsBold, captionBlue);
    btnConvert = makeBigButton(this, QStringLiteral("btnConvert"), 144, QStringLiteral("start converting"));
    lbConvert = makeLabel(this, QStringLiteral("&Convert"), 176, 96, -13, fsBold, captionBlue);
    btnStop = makeBigButton(this, QStringLiteral("btnStop"), 272, QStringLiteral("stop converting"));
    lbStop = makeLabel(this, QStringLiteral("&Stop"), 315, 96, -13, fsBold, captionBlue);
    btnSupport = makeBigButton(this, QStringLiteral("btnSupport"), 400, QStringLiteral("online support"));
    lbSupport = makeLabel(this, QStringLiteral("S&upport"), 432, 96, -13, fsBold, captionBlue);
    // The captions' "&" marks their letter, as on the buttons below.
    for (auto [label, button] : {std::pair {lbAdd, btnAdd}, {lbConvert, btnConvert}, {lbStop, btnStop},
                                 {lbSupport, btnSupport}})
        label->setBuddy(button);
    lbUpdate = new clipforge::LinkLabel(QStringLiteral("check for updates"), this);
    styleFixedLabel(*lbUpdate, QRect(740, 8, 104, 18), -12, fsBold | fsItalic | fsUnderline, clWhite);
}

void TmainDlg::createBottomControls()
{
    ProgressBar1 = new TGradientProgressBar(this);
    ProgressBar1->setGeometry(16, 432, 828, 17);
    ProgressBar1->SetColorBorder(14922381);
    ProgressBar1->SetBackColorFace(13036799);
    ProgressBar1->SetBackColorGrad(clWhite);
    ProgressBar1->SetForeColorFace(10215167);
    ProgressBar1->SetForeColorGrad(31671);
    ProgressBar1->SetColorScheme(csCustom);
    ProgressBar1->SetMin(0);
    ProgressBar1->SetMax(100);
    ProgressBar1->SetPosition(0);
    ProgressBar1->SetStep(10);
    ProgressBar1->SetOrientation(pbHorizontal);
    lbTimer = makeFixedLabel(this, QStringLiteral("timestamp: 00:00:00"), QRect(600, 456, 244, 18), -12, fsItalic,
                             clWhite);
    btnImport = makeListButton(this, QStringLiteral("&Import"), 16, QStringLiteral("load list from a disk file"));
    btnExport = makeListButton(this, QStringLiteral("&Export"), 144, QStringLiteral("save list to a disk file"));
}

void TmainDlg::createListPanel()
{
    LinePanel1 = new TLinePanel(this);
    LinePanel1->setGeometry(16, 136, 828, 289);
    LinePanel1->setColor(16767935);
    LinePanel1->setLineColor(panelLine);
    btnOption = makeTab(LinePanel1, 73);
    btnOption->hide();
    btnList = makeTab(LinePanel1, 8);
    Shape1 = new QFrame(LinePanel1);
    Shape1->setGeometry(0, 39, 828, 1);
    clipforge::markDecorative(*Shape1);
    setBackground(*Shape1, panelLine);
    lbList = makeLabel(LinePanel1, QStringLiteral("List"), 32, 21, -11, fsBold, captionBlue);
    lbOption = makeLabel(LinePanel1, QStringLiteral("Option"), 88, 21, -11, fsBold, captionBlue);
    lbOption->hide();
    lbCount = makeFixedLabel(LinePanel1, QStringLiteral("0 files finished 0 of 0"), QRect(576, 8, 244, 18), -12,
                             fsRegular, captionBlue);
    createListArea();
}

void TmainDlg::createListArea()
{
    JobTree = new clipforge::JobTreeView(LinePanel1);
    JobTree->setGeometry(0, 40, 828, 249);
    JobTree->setFont(formFont(-16));
    JobTree->setBackgroundPicture(clipforge::artwork::image(QStringLiteral("tree_background")));
    LinePanel2 = new TLinePanel(LinePanel1);
    LinePanel2->setGeometry(0, 40, 828, 249);
    LinePanel2->setColor(15657705);
    LinePanel2->hide();
}

void TmainDlg::createComponents()
{
    listImage = new TPngImageList(this);
    // Ordered by job state; the names are those the pictures were given when first drawn.
    const std::pair<const char*, const char*> states[] = {{"state_waiting", "PngImage0"},
                                                          {"state_converting", "PngImage1"},
                                                          {"state_finished", "PngImage3"},
                                                          {"state_failed", "PngImage2"}};
    for (const auto& [file, name] : states)
        addListPicture(*listImage, clipforge::artwork::picture(QString::fromLatin1(file)), QString::fromLatin1(name));

    MyFlatHint1 = new TMyFlatHint(this);
    MyFlatHint1->setColorBackground(clInfoBk);
    MyFlatHint1->setColorArrowBackground(clInfoBk);
    MyFlatHint1->setColorArrow(captionBlue);
    MyFlatHint1->setFont(formFont(-16));
    MyFlatHint1->setFontColor(captionBlue);
    createPopupMenu();
}

// Tab follows the eye: the buttons along the top, the link at the right, the list, then Import
// and Export below it.
void TmainDlg::setKeyboardOrder()
{
    QWidget* const order[] = {btnAdd, btnConvert, btnStop, btnSupport, lbUpdate, JobTree, btnImport, btnExport};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
}

// What shows no caption of its own; the buttons are named by theirs.
void TmainDlg::nameForAssistiveTechnology()
{
    ProgressBar1->setAccessibleName(QStringLiteral("Progress"));
    // The panel is what its tab shows.
    LinePanel1->setAccessibleName(QStringLiteral("List"));
    JobTree->setAccessibleName(QStringLiteral("Job list"));
    PopupMenu1->setAccessibleName(QStringLiteral("Job menu"));
}

void TmainDlg::createPopupMenu()
{
    PopupMenu1 = new QMenu(this);
    pmiDelete = PopupMenu1->addAction(QStringLiteral("&Delete"));
    pmiDelete->setStatusTip(QStringLiteral("delete selected item"));
    pmiClear = PopupMenu1->addAction(QStringLiteral("&Clear"));
    pmiClear->setStatusTip(QStringLiteral("clear all items"));
    PopupMenu1->addSeparator();
    pmiProperties = PopupMenu1->addAction(QStringLiteral("&Properties"));
    pmiProperties->setStatusTip(QStringLiteral("show properties"));
    PopupMenu1->addSeparator();
    pmiOpenFolder = PopupMenu1->addAction(QStringLiteral("&Open output folder"));
    pmiOpenFolder->setStatusTip(QStringLiteral("show where the outputs go"));
    pmiRemoveFinished = PopupMenu1->addAction(QStringLiteral("&Remove finished jobs"));
    pmiRemoveFinished->setStatusTip(QStringLiteral("remove the converted items"));
    PopupMenu1->addSeparator();
    pmiProfiles = PopupMenu1->addAction(QStringLiteral("Pro&files..."));
    pmiProfiles->setStatusTip(QStringLiteral("add and edit your own profiles"));
    pmiProfiles->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    // The window holds it too, so Ctrl+P works without the menu open.
    addAction(pmiProfiles);
    // Its choices depend on the machine; the controller fills it.
    pmConversionsAtOnce = new QMenu(QStringLiteral("Conversions &at once"), PopupMenu1);
    pmiConversionsAtOnce = PopupMenu1->addMenu(pmConversionsAtOnce);
}

