#pragma once

#include "app/QueueTimeLeft.h"
#include "engine/Command.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

class QObject;
class TCommandManager;
class TItemManager;
class TMenuDraw;
class TSaveManager;
class TTreeManager;
class TmainDlg;

namespace clipforge {
class CaptionForwarder;
class FileDrop;
class JobListKeys;
class JobMenu;
class ConversionsAtOnceMenu;
class JobProperties;
class PooledRun;
class RowDragMove;
}

// The main window's controller: it owns every long-lived object of the program, wires
// the window's controls to its handlers and holds the window's logic.
class TUIHook {
public:
    // Creates the catalogue (which reads the "command" file at once), the staging list and
    // the menu painter. A catalogue that cannot be read throws from here.
    explicit TUIHook(TmainDlg& form);
    ~TUIHook();
    TUIHook(const TUIHook&) = delete;
    TUIHook& operator=(const TUIHook&) = delete;

    void InitControls();

    void btnAddClick();
    void btnConvertClick();
    void btnStopClick();
    void btnSupportClick();
    void btnListClick();
    void btnOptionClick();
    void btnImportClick();
    void btnExportClick();
    void lbUpdateClick();
    void pmiDeleteClick();
    void pmiClearClick();
    void pmiPropertiesClick();
    void pmiProfilesClick();
    void CommandProgress(QObject* sender, std::int32_t percent);
    void CommandJobProgress(QObject* sender, std::int32_t position);
    void CommandTimer(QObject* sender);
    void CommandFinished(QObject* sender, bool stopped);
    enum class RunState { Idle, Busy };
    void setRunState(RunState state);

    // Files from the command line or a drop: the Add Files dialog with them, as if picked in
    // Add's file dialog. Refused while a run is active, as Add is.
    void openFiles(const QStringList& names);
    // Appends the jobs of a list file, each waiting, as Import does once a file is chosen.
    void importList(const QString& name);

    // Read by tests and the job list's menu.
    TTreeManager* TreeManager() const { return treeManager_.get(); }
    TCommand* Command() const { return command_.get(); }
    // The driver of runs with several jobs at once.
    clipforge::PooledRun* Pooled() const { return pooled_.get(); }
    TCommandManager& CommandManager() const { return *commandManager_; }
    // The driver is idle and the list is no longer held by a run that is still ending.
    bool ListChangesAllowed() const;
    // No run is going, or the one going is ending (Stop was pressed).
    bool RunStopped() const;
    // What the running one's estimate is made of; empty when no run is active.
    clipforge::QueueTimes queueTimes() const;
    // True when the window may close now. During a run it asks first, unless told not to (an
    // ending session or a signal); then it stops the run as Stop does and closes the window once
    // the run has ended, without the end's message box.
    enum class CloseQuestion { Ask, DontAsk };
    bool readyToClose(CloseQuestion question);

private:
    void wireCaptions();
    void unwire();
    void wireClicks();
    void wireMenu();
    void createManagers();
    void setCounter(int finished);
    // From Convert until the run's end has been handled, whichever driver runs it.
    bool runHoldsList() const;
    int runJobs() const;
    void createDrivers();
    void showPooledCounter();
    void showQueueTime();
    int jobCount() const;
    int failedJobs() const;
    int jobsInState(std::int32_t state) const;
    void addFiles(const QStringList& names);
    // Asks what to do with the finished jobs of the queue; none when the user cancels.
    std::optional<TCommand::FinishedJobs> finishedJobsChoice();
    bool askToStopAndQuit();
    // The notification and the end's message box.
    void announceRunEnd(bool stopped);
    // Reads the system's and the user's added profiles again, naming any file set aside.
    void reloadAddedProfiles();
    void moveJob(int row, int step);

    TmainDlg& Form;
    std::unique_ptr<TCommandManager> commandManager_;
    std::unique_ptr<TItemManager> itemManager_;
    std::unique_ptr<TMenuDraw> menuDraw_;
    std::unique_ptr<TTreeManager> treeManager_;
    std::unique_ptr<TCommand> command_;
    std::unique_ptr<clipforge::PooledRun> pooled_;
    // How long the one-job driver's jobs took, for the queue's estimate.
    clipforge::JobDurations durations_;
    std::unique_ptr<clipforge::ConversionsAtOnceMenu> atOnceMenu_;
    bool lastRunPooled_ = false;
    std::unique_ptr<TSaveManager> saveManager_;
    std::unique_ptr<clipforge::JobProperties> properties_;
    std::unique_ptr<clipforge::JobMenu> jobMenu_;
    std::unique_ptr<clipforge::RowDragMove> rowDrag_;
    std::unique_ptr<clipforge::CaptionForwarder> captions_;
    std::unique_ptr<clipforge::FileDrop> fileDrop_;
    std::unique_ptr<clipforge::JobListKeys> listKeys_;
    // The context of every connection to the window, so that none outlives the controller.
    std::unique_ptr<QObject> connections_;
    bool closing_ = false;
    bool askingToClose_ = false;
    // Whether the run that ended while the close question was open was stopped.
    std::optional<bool> endedWhileAsking_;
};

namespace clipforge {

// Export's rule: a name whose extension is not exactly ".kxl" gets ".kxl" appended.
QString withListExtension(const QString& name);

}  // namespace clipforge
