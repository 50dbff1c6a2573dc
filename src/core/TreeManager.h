#pragma once

#include "core/ItemNodeData.h"

#include <QAbstractItemModel>
#include <QList>

#include <optional>
#include <string>
#include <vector>

class TCommandManager;
class TItemManager;

// The job list: the queue of conversions as a flat, two-column item model. Row order is queue
// order. Column 0 shows the source file with its state picture and hint; column 1 carries the
// progress box, which the view paints from the roles below.
//
// Selection belongs to the view: DeleteRows takes the rows the view has selected, so there is
// never a second selection that could fall out of step with what the user sees.
//
// While a conversion run uses the list, the driver locks it: deletes and clears are refused (and
// imports, which check Locked()), so the job being converted can never vanish under the driver.
class TTreeManager : public QAbstractItemModel {
    Q_OBJECT

public:
    enum JobRole {
        StateRole = Qt::UserRole + 1,
        BusyRole,
        FrameRole,
        FormatRole,
        PathRole,
    };
    static constexpr int ColumnCount = 2;

    // profileNames: the catalogue's display names, read for the hints; it must outlive the list.
    TTreeManager(const std::vector<std::string>& profileNames, TItemManager& staging, QObject* parent = nullptr);
    // The catalogue's names by profile number, added profiles included; it must outlive the list.
    TTreeManager(const TCommandManager& catalogue, TItemManager& staging, QObject* parent = nullptr);

    // One job per name (8-bit), with the profile and folder of the staging item at the same
    // position; the staging list is cleared afterwards.
    void AddJobs(const std::vector<std::string>& names);
    // Appends the jobs in state 0 with one insert notification for all of them.
    void AppendJobs(std::vector<TItemData> jobs);

    int Count() const { return static_cast<int>(Jobs.size()); }
    // The record of the job at row; EListError for a row outside the list. The reference is
    // valid until the list next changes shape, so callers keep the row, not the reference.
    const TItemNodeData& Job(int row) const;

    // A job changes only through the functions below, so every change reaches the views: each
    // tells them about its row. They raise EListError for a row outside the list.
    //
    // A job's notes follow its state: the failure reason is dropped when the job leaves the
    // failed state, the progress when it leaves the converting state, the output when it leaves
    // the finished state.
    void SetState(int row, TJobState state);
    // Marks the job failed, for the reason given.
    void SetFailure(int row, std::string reason);
    void SetProgress(int row, std::string progress);
    // A job that stops being busy has its block back at the start.
    void SetBusy(int row, bool busy);
    void SetFrame(int row, std::uint32_t frame);
    // Moves a busy job's block one step, back to the start after its last picture.
    void StepFrame(int row);
    // Where the job put its output (the path really used, 8-bit) and how big it was then; the
    // hint shows it once the job is finished.
    // warning: what the output's check found wrong although the job was let finish.
    void SetOutput(int row, std::string path, std::int64_t size, std::string warning = {});
    // Asks views to give themselves the keyboard focus and select the job at row (the driver
    // does so for every job it starts).
    void FocusNode(int row) { emit nodeFocusRequested(row); }

    // Removes the given rows (duplicates and rows outside the list are ignored). False, and
    // nothing removed, while the list is locked.
    bool DeleteRows(QList<int> rows);
    // Moves the given rows, in their order, to stand before the job now at destination (Count()
    // for the end); duplicates and rows outside the list are ignored. Views keep their selection
    // and current job on the moved jobs. False, and nothing moved, while the list is locked.
    bool MoveRows(QList<int> rows, int destination);
    bool Clear();
    // Profile and folder of one job, as the properties dialog changes them; refused while locked.
    bool ChangeJob(int row, std::int32_t format, const QString& path);

    void SetLocked(bool locked) { IsLocked = locked; }
    bool Locked() const { return IsLocked; }

    // "[File Name]: %s", LF, "[format]: %s", LF, "[path]: %s"; a format that is no position of
    // the catalogue reads "(none)". A finished job adds "[output]: " with where its output went
    // and its size (and "[warning]: " with what its check found, when it was let finish), a failed
    // job "[error]: " and its reason, the converting job "[progress]: " and how far it has got. Empty for a row outside the list; never throws.
    QString Hint(int row) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The columns' names, for assistive technology: the view shows no header.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    void nodeFocusRequested(int row);

private:
    QVariant jobColumnData(const TItemNodeData& job, int row, int role) const;
    QVariant progressColumnData(const TItemNodeData& job, int role) const;
    TItemNodeData& node(int row);
    void repaint(int row);
    QList<int> validRows(QList<int> rows) const;
    void reorder(const std::vector<int>& order);
    void removeRange(int first, int last);
    void removeScattered(const QList<int>& sortedRows);

    const std::vector<std::string>& ProfileNames;
    const TCommandManager* Catalogue = nullptr;
    // Nothing for a number no profile has.
    std::optional<std::string> profileName(int number) const;
    TItemManager& Staging;
    std::vector<TItemNodeData> Jobs;
    bool IsLocked = false;
};
