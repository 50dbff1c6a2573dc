#include "app/UIHook.h"

#include "app/AddDlgOpener.h"
#include "app/Application.h"
#include "app/CaptionForwarder.h"
#include "app/ConversionsAtOnceMenu.h"
#include "app/ClockText.h"
#include "app/DesktopNotifier.h"
#include "app/FileDrop.h"
#include "app/JobItemDelegate.h"
#include "app/JobListKeys.h"
#include "app/JobMenu.h"
#include "app/JobProperties.h"
#include "app/JobTreeView.h"
#include "app/MainDlg.h"
#include "app/PooledRun.h"
#include "app/ProfileEditor.h"
#include "app/RowDragMove.h"
#include "app/WebPages.h"
#include "controls/GradientProgressBar.h"
#include "controls/ImageButton.h"
#include "controls/LinePanel.h"
#include "controls/LinkLabel.h"
#include "controls/MenuDraw.h"
#include "controls/MyButtonEx.h"
#include "controls/PngImageList.h"
#include "core/CommandManager.h"
#include "core/ItemManager.h"
#include "core/LocalText.h"
#include "core/Paths.h"
#include "core/SaveManager.h"
#include "core/TreeManager.h"
#include "dialogs/DialogService.h"
#include "dialogs/FormStyle.h"
#include "dialogs/RememberedFolders.h"
#include "dialogs/UserSettings.h"
#include "engine/Command.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QTimer>

#include <optional>
#include <utility>

using namespace clipforge::formstyle;

namespace {

const char* const listFilter = "Norvane File List File (*.kxl)|*.kxl";

using FileDialog = clipforge::UserSettings::FileDialog;

clipforge::DialogService& dialogs()
{
    return clipforge::DialogService::instance();
}

// The file dialog's own question looks at the name before the list extension is added, so the
// program asks about the name it will really write.
bool mayReplace(QWidget& owner, const QString& name)
{
    if (!QFileInfo(name).isFile())
        return true;
    return dialogs().question(&owner, QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                          .arg(QDir::toNativeSeparators(name)));
}

}  // namespace

namespace clipforge {

QString withListExtension(const QString& name)
{
    return widen(withListExtension(narrow(name)));
}

}  // namespace clipforge

TUIHook::TUIHook(TmainDlg& form)
    : Form(form)
{
    commandManager_ = std::make_unique<TCommandManager>();
    itemManager_ = std::make_unique<TItemManager>();
    menuDraw_ = std::make_unique<TMenuDraw>();
}

TUIHook::~TUIHook()
{
    unwire();
    properties_.reset();
    menuDraw_.reset();
    saveManager_.reset();
    itemManager_.reset();
    // Its converters go before the list it shows them on.
    pooled_.reset();
    treeManager_.reset();
    commandManager_.reset();
    // The driver goes last; its end kills a converter that is still running.
    command_.reset();
}

void TUIHook::InitControls()
{
    clipforge::setApplicationTitle();
    Form.setWindowTitle(clipforge::applicationTitle());
    wireCaptions();
    setRunState(RunState::Idle);
    wireClicks();
    wireMenu();
    createManagers();
    reloadAddedProfiles();
    fileDrop_ = std::make_unique<clipforge::FileDrop>(
        Form, [this] { return ListChangesAllowed(); }, [this](const QStringList& names) { openFiles(names); });
}

// A controller that failed half-way through its set-up leaves the window behind: nothing in
// the window may still call into it.
void TUIHook::unwire()
{
    fileDrop_.reset();
    atOnceMenu_.reset();
    listKeys_.reset();
    jobMenu_.reset();
    rowDrag_.reset();
    connections_.reset();
    Form.lbUpdate->OnClick = nullptr;
    captions_.reset();
    for (TImageButton* button : {Form.btnAdd, Form.btnConvert, Form.btnStop, Form.btnSupport, Form.btnList,
                                 Form.btnOption})
        button->OnClick = nullptr;
    Form.btnImport->OnClick = nullptr;
    Form.btnExport->OnClick = nullptr;
    Form.JobTree->OnColumnDblClick = nullptr;
    Form.JobTree->setPopupMenu(nullptr, nullptr);
    Form.JobTree->setJobs(nullptr);
}

void TUIHook::wireCaptions()
{
    captions_ = std::make_unique<clipforge::CaptionForwarder>();
    captions_->forward(Form.lbAdd, Form.btnAdd);
    captions_->forward(Form.lbConvert, Form.btnConvert);
    captions_->forward(Form.lbList, Form.btnList);
    captions_->forward(Form.lbOption, Form.btnOption);
    captions_->forward(Form.lbStop, Form.btnStop);
    captions_->forward(Form.lbSupport, Form.btnSupport);
}

void TUIHook::wireClicks()
{
    Form.btnAdd->OnClick = [this](auto*) { btnAddClick(); };
    Form.btnConvert->OnClick = [this](auto*) { btnConvertClick(); };
    Form.btnStop->OnClick = [this](auto*) { btnStopClick(); };
    Form.btnSupport->OnClick = [this](auto*) { btnSupportClick(); };
    Form.btnList->OnClick = [this](auto*) { btnListClick(); };
    Form.btnOption->OnClick = [this](auto*) { btnOptionClick(); };
    Form.btnImport->OnClick = [this](auto*) { btnImportClick(); };
    Form.btnExport->OnClick = [this](auto*) { btnExportClick(); };
    Form.lbUpdate->OnClick = [this] { lbUpdateClick(); };
}

void TUIHook::wireMenu()
{
    connections_ = std::make_unique<QObject>();
    menuDraw_->Attach(Form.PopupMenu1);
    QObject::connect(Form.pmiDelete, &QAction::triggered, connections_.get(), [this] { pmiDeleteClick(); });
    QObject::connect(Form.pmiClear, &QAction::triggered, connections_.get(), [this] { pmiClearClick(); });
    QObject::connect(Form.pmiProperties, &QAction::triggered, connections_.get(), [this] { pmiPropertiesClick(); });
    QObject::connect(Form.pmiProfiles, &QAction::triggered, connections_.get(), [this] { pmiProfilesClick(); });
    atOnceMenu_ = std::make_unique<clipforge::ConversionsAtOnceMenu>(*Form.pmConversionsAtOnce, *Form.pmiConversionsAtOnce);
}

void TUIHook::createManagers()
{
    treeManager_ = std::make_unique<TTreeManager>(*commandManager_, *itemManager_);
    Form.JobTree->setJobs(treeManager_.get());
    Form.JobTree->delegate().setStateIcons([list = Form.listImage](int state) { return list->pixmap(state); });
    Form.JobTree->setPopupMenu(Form.PopupMenu1, [this] { return RunStopped(); });
    properties_ = std::make_unique<clipforge::JobProperties>(*treeManager_, *commandManager_,
                                                              [this] { return RunStopped(); });
    Form.JobTree->OnColumnDblClick = [this](int row) { properties_->Properties(row); };
    listKeys_ = std::make_unique<clipforge::JobListKeys>(
        *Form.JobTree, clipforge::JobListKeys::Commands {[this] { pmiDeleteClick(); }, [this] { pmiPropertiesClick(); },
                                                         [this](int row, int step) { moveJob(row, step); }});
    jobMenu_ = std::make_unique<clipforge::JobMenu>(
        Form, *treeManager_, [this] { return ListChangesAllowed(); }, [this] { setCounter(0); });
    rowDrag_ = std::make_unique<clipforge::RowDragMove>(
        *Form.JobTree, [this] { return ListChangesAllowed(); },
        [this](const QList<int>& rows, int gap) { treeManager_->MoveRows(rows, gap); });

    createDrivers();
    saveManager_ = std::make_unique<TSaveManager>(*treeManager_);
}

int TUIHook::jobCount() const
{
    return treeManager_ ? treeManager_->Count() : 0;
}

void TUIHook::setCounter(int finished)
{
    Form.lbCount->setText(clipforge::counterText(jobCount(), finished));
}

void TUIHook::createDrivers()
{
    command_ = std::make_unique<TCommand>(*treeManager_, *commandManager_);
    command_->OnProgress = [this](QObject* sender, std::int32_t percent) { CommandProgress(sender, percent); };
    command_->OnFinished = [this](QObject* sender, bool stopped) { CommandFinished(sender, stopped); };
    command_->OnTimer = [this](QObject* sender) { CommandTimer(sender); };
    command_->OnJobProgress = [this](QObject* sender, std::int32_t position) { CommandJobProgress(sender, position); };

    pooled_ = std::make_unique<clipforge::PooledRun>(*commandManager_, *treeManager_);
    pooled_->onJobEnded = [this] { showPooledCounter(); };
    pooled_->onBarMoved = [this] { Form.ProgressBar1->SetPosition(pooled_->barPosition()); };
    pooled_->onTimer = [this] { CommandTimer(nullptr); };
    pooled_->onFinished = [this](bool stopped) { CommandFinished(nullptr, stopped); };
}

bool TUIHook::ListChangesAllowed() const
{
    return RunStopped() && !runHoldsList();
}

bool TUIHook::RunStopped() const
{
    return command_ && command_->Stopped() && (!pooled_ || pooled_->stopped());
}

bool TUIHook::runHoldsList() const
{
    return (command_ && command_->ListLocked()) || (pooled_ && pooled_->active());
}

int TUIHook::runJobs() const
{
    return lastRunPooled_ ? pooled_->runJobs() : static_cast<int>(command_->RunJobs());
}

void TUIHook::btnAddClick()
{
    const QStringList names =
        clipforge::remembered::openFileNames(FileDialog::AddFiles, nullptr, clipforge::videoFilter());
    Form.repaint();
    if (!names.isEmpty())
        addFiles(names);
    setCounter(0);
}

void TUIHook::openFiles(const QStringList& names)
{
    if (names.isEmpty() || !ListChangesAllowed())
        return;
    addFiles(names);
    setCounter(0);
}

void TUIHook::addFiles(const QStringList& names)
{
    reloadAddedProfiles();
    clipforge::AddDlgOpener opener(*commandManager_);
    const auto choice = opener.ask(names);
    if (!choice)
        return;
    // Each Add starts from an empty staging list, whatever an earlier failure left there.
    itemManager_->Clear();
    std::vector<std::string> files;
    files.reserve(static_cast<size_t>(names.size()));
    for (const QString& name : names) {
        files.push_back(clipforge::narrow(name));
        itemManager_->AddItem(files.back(), choice->format, clipforge::narrow(choice->folder));
    }
    treeManager_->AddJobs(files);
}

void TUIHook::pmiProfilesClick()
{
    reloadAddedProfiles();
    const auto jobsUsing = [this](int number) {
        int count = 0;
        for (int row = 0; row < treeManager_->Count(); ++row)
            count += treeManager_->Job(row).ItemData.Format == number ? 1 : 0;
        return count;
    };
    clipforge::ProfileEditor editor(*commandManager_, {jobsUsing, [this] { Form.JobTree->viewport()->update(); }}, &Form);
    dialogs().execModal(editor);
}

void TUIHook::reloadAddedProfiles()
{
    std::vector<std::string> problems;
    commandManager_->ReloadAdded(problems);
    for (const std::string& problem : problems)
        dialogs().message(&Form, clipforge::widen(problem), QMessageBox::Warning);
}

void TUIHook::btnConvertClick()
{
    if (jobCount() == 0 || runHoldsList())
        return;
    const auto finished = finishedJobsChoice();
    if (!finished)
        return;
    if (*finished == TCommand::FinishedJobs::Skip && jobsInState(jsFinished) == jobCount())
        return;
    setRunState(RunState::Busy);
    // Read at each run, so a change to a setting counts from the next one; a word the program
    // does not know leaves the default.
    const clipforge::CheckMode check = clipforge::checkModeNamed(clipforge::UserSettings::outputCheck().toStdString())
                                           .value_or(clipforge::CheckMode::Streams);
    const int workers = clipforge::ConversionsAtOnceMenu::chosen();
    lastRunPooled_ = workers > 1;
    if (lastRunPooled_) {
        pooled_->start(workers, *finished, check);
        return;
    }
    command_->CheckOutputs(check);
    durations_.clear();
    durations_.started(0);
    command_->Start(*finished);
}

// A second press of Convert after a run would otherwise convert the finished jobs once more,
// each under a new name; converting the whole queue again stays one answer away.
std::optional<TCommand::FinishedJobs> TUIHook::finishedJobsChoice()
{
    const int finished = jobsInState(jsFinished);
    if (finished == 0)
        return TCommand::FinishedJobs::Convert;
    const QString text = finished == 1 ? QStringLiteral("1 job has already been converted. Convert it again?")
                                       : QStringLiteral("%1 jobs have already been converted. Convert them again?")
                                             .arg(finished);
    switch (dialogs().choose(&Form, text, {QStringLiteral("Skip them"), QStringLiteral("Convert again")}, 0)) {
    case 0:
        return TCommand::FinishedJobs::Skip;
    case 1:
        return TCommand::FinishedJobs::Convert;
    default:
        return std::nullopt;
    }
}

void TUIHook::btnStopClick()
{
    if (pooled_->active())
        pooled_->stop();
    else
        command_->Stop();
}

void TUIHook::btnSupportClick()
{
    clipforge::openPage(clipforge::supportPageUrl());
}

void TUIHook::lbUpdateClick()
{
    clipforge::openPage(clipforge::productPageUrl());
}

void TUIHook::btnListClick()
{
    Form.JobTree->show();
    Form.LinePanel2->hide();
}

void TUIHook::btnOptionClick()
{
    Form.JobTree->hide();
    Form.LinePanel2->show();
}

void TUIHook::btnImportClick()
{
    if (!ListChangesAllowed())
        return;
    const QString name =
        clipforge::remembered::openFileName(FileDialog::ImportList, nullptr, QString::fromLatin1(listFilter));
    if (!name.isEmpty())
        importList(name);
}

void TUIHook::importList(const QString& name)
{
    if (!ListChangesAllowed())
        return;
    saveManager_->ReadList(clipforge::narrow(name));
    setCounter(0);
}

void TUIHook::btnExportClick()
{
    if (!RunStopped() || jobCount() == 0)
        return;
    const QString chosen =
        clipforge::remembered::saveFileName(FileDialog::ExportList, nullptr, QString::fromLatin1(listFilter));
    if (chosen.isEmpty())
        return;
    const QString name = clipforge::withListExtension(chosen);
    if (mayReplace(Form, name))
        saveManager_->WriteList(clipforge::narrow(name));
}

void TUIHook::pmiDeleteClick()
{
    if (!ListChangesAllowed())
        return;
    QList<int> rows;
    for (const QModelIndex& selected : Form.JobTree->selectionModel()->selectedRows())
        rows << selected.row();
    treeManager_->DeleteRows(rows);
    setCounter(0);
}

void TUIHook::moveJob(int row, int step)
{
    // A destination is the row the job will stand before, counted before it moves.
    const int destination = step < 0 ? row + step : row + step + 1;
    if (!ListChangesAllowed() || destination < 0 || destination > jobCount())
        return;
    treeManager_->MoveRows({row}, destination);
}

void TUIHook::pmiClearClick()
{
    if (!ListChangesAllowed())
        return;
    treeManager_->Clear();
    setCounter(0);
}

void TUIHook::pmiPropertiesClick()
{
    properties_->Properties(Form.JobTree->focusedRow());
}

void TUIHook::CommandProgress(QObject*, std::int32_t percent)
{
    Form.ProgressBar1->SetPosition(percent);
    Form.lbCount->setText(clipforge::counterText(jobCount(), static_cast<int>(command_->RunPosition()) + 1,
                                                 static_cast<int>(command_->RunJobs())));
    durations_.ended(0);
    durations_.started(0);
}

void TUIHook::showPooledCounter()
{
    Form.lbCount->setText(clipforge::counterText(jobCount(), pooled_->endedJobs(), pooled_->runJobs()));
}

// The driver keeps the bar between the values of the jobs' ends and never moves it back.
void TUIHook::CommandJobProgress(QObject*, std::int32_t position)
{
    Form.ProgressBar1->SetPosition(position);
}

void TUIHook::CommandTimer(QObject*)
{
    const std::int64_t seconds = pooled_->active() ? pooled_->elapsedSeconds() : command_->ElapsedSeconds();
    Form.lbTimer->setText(clipforge::clockText(seconds));
    showQueueTime();
}

clipforge::QueueTimes TUIHook::queueTimes() const
{
    if (pooled_->active())
        return pooled_->queueTimes();
    clipforge::QueueTimes times;
    if (!command_->ListLocked())
        return times;
    times.running = {command_->CurrentProgress()};
    times.waiting = static_cast<int>(command_->RunJobs() - command_->RunPosition()) - 1;
    times.ended = durations_.endedJobs();
    times.endedSeconds = durations_.endedSeconds();
    return times;
}

// Under the mouse on the bar, and for assistive technology as the bar's description.
void TUIHook::showQueueTime()
{
    const QString text = clipforge::queueTimeText(queueTimes());
    Form.ProgressBar1->setToolTip(text);
    Form.ProgressBar1->setAccessibleDescription(text);
}

void TUIHook::CommandFinished(QObject*, bool stopped)
{
    setRunState(RunState::Idle);
    showQueueTime();
    if (closing_) {
        QTimer::singleShot(0, &Form, [this] { Form.close(); });
        return;
    }
    if (askingToClose_) {
        endedWhileAsking_ = stopped;
        return;
    }
    announceRunEnd(stopped);
}

void TUIHook::announceRunEnd(bool stopped)
{
    const int failed = failedJobs();
    clipforge::DesktopNotifier().runEnded(Form, {jobsInState(jsFinished), failed, stopped});
    if (stopped)
        return;
    if (failed == 0) {
        dialogs().message(&Form, QStringLiteral("Congratulations, works done!"), QMessageBox::Information);
        return;
    }
    // A run with failures must not read as a success; the reasons are in the failed jobs' hints.
    // Every failed job was part of the run: a run skips finished jobs only.
    const int converted = runJobs() - failed;
    dialogs().message(&Form,
                      QStringLiteral("%1 %2 converted, %3 failed.\nHover over a failed file to see why.")
                          .arg(converted)
                          .arg(converted == 1 ? QStringLiteral("file") : QStringLiteral("files"))
                          .arg(failed),
                      QMessageBox::Warning);
}

bool TUIHook::readyToClose(CloseQuestion question)
{
    if (!command_ || !runHoldsList())
        return true;
    // A signal that comes while the question is open ends the run whatever the answer.
    if (closing_ || (askingToClose_ && question == CloseQuestion::Ask))
        return false;
    if (question == CloseQuestion::Ask && !askToStopAndQuit())
        return false;
    // The run may have ended while the question was open; the answer holds all the same.
    if (!runHoldsList())
        return true;
    closing_ = true;
    btnStopClick();
    return false;
}

// A run that ends while the box is open says so once the answer is known, unless the answer
// was to quit.
bool TUIHook::askToStopAndQuit()
{
    askingToClose_ = true;
    const bool quit = dialogs().question(&Form, QStringLiteral("A conversion is running. Stop it and quit?"));
    askingToClose_ = false;
    const std::optional<bool> ended = std::exchange(endedWhileAsking_, std::nullopt);
    if (!quit && ended)
        announceRunEnd(*ended);
    return quit;
}

int TUIHook::failedJobs() const
{
    return jobsInState(jsFailed);
}

int TUIHook::jobsInState(std::int32_t state) const
{
    int count = 0;
    for (int row = 0; row < jobCount(); ++row)
        count += treeManager_->Job(row).State == state ? 1 : 0;
    return count;
}

void TUIHook::setRunState(RunState state)
{
    const bool idle = state == RunState::Idle;
    const auto colour = [](bool enabled) { return enabled ? captionBlue : disabledGrey; };
    Form.btnAdd->SetEnabled(idle);
    setTextColor(*Form.lbAdd, colour(idle));
    Form.btnConvert->SetEnabled(idle);
    setTextColor(*Form.lbConvert, colour(idle));
    Form.btnStop->SetEnabled(!idle);
    setTextColor(*Form.lbStop, colour(!idle));
}
