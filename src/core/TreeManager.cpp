#include "core/TreeManager.h"

#include "core/CommandManager.h"
#include "core/DisplayText.h"
#include "core/Errors.h"
#include "core/ItemManager.h"
#include "core/LocalText.h"
#include "core/SizeText.h"

#include <algorithm>

namespace {

// Beyond this many separate runs of rows, one reset is cheaper than a remove notification (and
// a move of the rows behind it) per run.
constexpr qsizetype MaxRangesRemovedOneByOne = 64;
// The moving block has 75 pictures.
constexpr std::uint32_t LastBlockFrame = 74;


QList<QPair<int, int>> contiguousRanges(const QList<int>& sortedRows)
{
    QList<QPair<int, int>> ranges;
    for (const int row : sortedRows) {
        if (!ranges.isEmpty() && ranges.last().second + 1 == row)
            ranges.last().second = row;
        else
            ranges.append({row, row});
    }
    return ranges;
}

// Read out by assistive technology beside the file's name.
QString stateName(std::int32_t state)
{
    switch (state) {
    case jsWaiting: return QStringLiteral("waiting");
    case jsConverting: return QStringLiteral("converting");
    case jsFinished: return QStringLiteral("finished");
    case jsFailed: return QStringLiteral("failed");
    default: return {};
    }
}

}  // namespace

TTreeManager::TTreeManager(const std::vector<std::string>& profileNames, TItemManager& staging, QObject* parent)
    : QAbstractItemModel(parent), ProfileNames(profileNames), Staging(staging)
{
}

TTreeManager::TTreeManager(const TCommandManager& catalogue, TItemManager& staging, QObject* parent)
    : QAbstractItemModel(parent), ProfileNames(catalogue.Names()), Catalogue(&catalogue), Staging(staging)
{
}

std::optional<std::string> TTreeManager::profileName(int number) const
{
    if (Catalogue) {
        const int row = Catalogue->RowOf(number);
        return row < 0 ? std::nullopt : std::optional(Catalogue->Names()[static_cast<std::size_t>(row)]);
    }
    if (number >= 0 && static_cast<std::size_t>(number) < ProfileNames.size())
        return ProfileNames[static_cast<std::size_t>(number)];
    return std::nullopt;
}

void TTreeManager::AddJobs(const std::vector<std::string>& names)
{
    if (names.empty())
        return;
    std::vector<TItemData> jobs;
    jobs.reserve(names.size());
    try {
        for (std::size_t i = 0; i < names.size(); ++i) {
            const int position = static_cast<int>(i);
            jobs.push_back({clipforge::widen(names[i]), Staging.GetFormat(position),
                            clipforge::widen(Staging.GetPath(position)), false, 0});
        }
    } catch (...) {
        // Jobs built before the failure are kept, as if each had been appended on its own.
        AppendJobs(std::move(jobs));
        throw;
    }
    AppendJobs(std::move(jobs));
    Staging.Clear();
}

void TTreeManager::AppendJobs(std::vector<TItemData> jobs)
{
    if (jobs.empty())
        return;
    const int first = Count();
    beginInsertRows({}, first, first + static_cast<int>(jobs.size()) - 1);
    // Only ever to more than double: a watched folder appends its jobs one at a time, for as
    // long as it runs, and an exact reserve would move every job on every append.
    if (Jobs.capacity() < Jobs.size() + jobs.size())
        Jobs.reserve(std::max(Jobs.size() + jobs.size(), Jobs.size() * 2));
    for (TItemData& job : jobs)
        Jobs.push_back({1, jsWaiting, {}, std::move(job), {}, {}, {}, 0, {}});
    endInsertRows();
}

const TItemNodeData& TTreeManager::Job(int row) const
{
    return const_cast<TTreeManager*>(this)->node(row);
}

TItemNodeData& TTreeManager::node(int row)
{
    if (row < 0 || row >= Count())
        throw EListError(row);
    return Jobs[static_cast<std::size_t>(row)];
}

void TTreeManager::repaint(int row)
{
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void TTreeManager::SetState(int row, TJobState state)
{
    TItemNodeData& job = node(row);
    const bool dropReason = state != jsFailed && !job.FailureReason.empty();
    const bool dropProgress = state != jsConverting && !job.Progress.empty();
    const bool dropOutput = state != jsFinished && !job.Output.empty();
    if (job.State == state && !dropReason && !dropProgress && !dropOutput)
        return;
    job.State = state;
    if (dropReason)
        job.FailureReason.clear();
    if (dropProgress)
        job.Progress.clear();
    if (dropOutput) {
        job.Output.clear();
        job.Warning.clear();
    }
    repaint(row);
}

void TTreeManager::SetFailure(int row, std::string reason)
{
    TItemNodeData& job = node(row);
    if (job.State == jsFailed && job.FailureReason == reason)
        return;
    job.State = jsFailed;
    job.FailureReason = std::move(reason);
    job.Progress.clear();
    job.Output.clear();
    job.Warning.clear();
    repaint(row);
}

void TTreeManager::SetProgress(int row, std::string progress)
{
    TItemNodeData& job = node(row);
    if (job.Progress == progress)
        return;
    job.Progress = std::move(progress);
    repaint(row);
}

void TTreeManager::SetBusy(int row, bool busy)
{
    TItemData& job = node(row).ItemData;
    const std::uint32_t frame = busy ? job.Frame : 0;
    if (job.Busy == busy && job.Frame == frame)
        return;
    job.Busy = busy;
    job.Frame = frame;
    repaint(row);
}

void TTreeManager::SetFrame(int row, std::uint32_t frame)
{
    TItemData& job = node(row).ItemData;
    if (job.Frame == frame)
        return;
    job.Frame = frame;
    repaint(row);
}

void TTreeManager::StepFrame(int row)
{
    const std::uint32_t frame = Job(row).ItemData.Frame;
    SetFrame(row, frame >= LastBlockFrame ? 0 : frame + 1);
}

QList<int> TTreeManager::validRows(QList<int> rows) const
{
    rows.removeIf([this](int row) { return row < 0 || row >= Count(); });
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

bool TTreeManager::DeleteRows(QList<int> rows)
{
    if (IsLocked)
        return false;
    rows = validRows(std::move(rows));
    if (rows.isEmpty())
        return true;
    const QList<QPair<int, int>> ranges = contiguousRanges(rows);
    if (ranges.size() > MaxRangesRemovedOneByOne) {
        removeScattered(rows);
        return true;
    }
    // From the back, so the rows of the ranges still to go keep their numbers.
    for (auto range = ranges.crbegin(); range != ranges.crend(); ++range)
        removeRange(range->first, range->second);
    return true;
}

bool TTreeManager::MoveRows(QList<int> rows, int destination)
{
    if (IsLocked)
        return false;
    rows = validRows(std::move(rows));
    destination = std::clamp(destination, 0, Count());
    std::vector<int> order;  // the old row of every new position
    order.reserve(Jobs.size());
    auto moved = rows.cbegin();
    for (int row = 0; row <= Count(); ++row) {
        if (row == destination)
            order.insert(order.end(), rows.cbegin(), rows.cend());
        if (row == Count())
            break;
        if (moved != rows.cend() && *moved == row)
            ++moved;
        else
            order.push_back(row);
    }
    if (!std::is_sorted(order.cbegin(), order.cend()))
        reorder(order);
    return true;
}

// A layout change rather than row moves: scattered rows move in one notification, and the
// persistent indexes (the views' selection and current job) follow their jobs.
void TTreeManager::reorder(const std::vector<int>& order)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRow(order.size());
    std::vector<TItemNodeData> jobs;
    jobs.reserve(Jobs.size());
    for (std::size_t position = 0; position < order.size(); ++position) {
        newRow[static_cast<std::size_t>(order[position])] = static_cast<int>(position);
        jobs.push_back(std::move(Jobs[static_cast<std::size_t>(order[position])]));
    }
    Jobs = std::move(jobs);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before)
        after.append(index(newRow[static_cast<std::size_t>(old.row())], old.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TTreeManager::removeRange(int first, int last)
{
    beginRemoveRows({}, first, last);
    Jobs.erase(Jobs.begin() + first, Jobs.begin() + last + 1);
    endRemoveRows();
}

void TTreeManager::removeScattered(const QList<int>& sortedRows)
{
    beginResetModel();
    std::vector<TItemNodeData> kept;
    kept.reserve(Jobs.size() - static_cast<std::size_t>(sortedRows.size()));
    auto doomed = sortedRows.cbegin();
    for (int row = 0; row < Count(); ++row) {
        if (doomed != sortedRows.cend() && *doomed == row)
            ++doomed;
        else
            kept.push_back(std::move(Jobs[static_cast<std::size_t>(row)]));
    }
    Jobs = std::move(kept);
    endResetModel();
}

bool TTreeManager::Clear()
{
    if (IsLocked)
        return false;
    beginResetModel();
    Jobs = {};
    endResetModel();
    return true;
}

void TTreeManager::SetOutput(int row, std::string path, std::int64_t size, std::string warning)
{
    TItemNodeData& job = node(row);
    job.OutputSize = path.empty() ? 0 : size;
    job.Warning = path.empty() ? std::string() : std::move(warning);
    job.Output = std::move(path);
    repaint(row);
}

bool TTreeManager::ChangeJob(int row, std::int32_t format, const QString& path)
{
    if (IsLocked)
        return false;
    TItemData& job = node(row).ItemData;
    job.Format = format;
    job.Path = path;
    repaint(row);
    return true;
}

QString TTreeManager::Hint(int row) const
{
    if (row < 0 || row >= Count())
        return {};
    const TItemNodeData& node = Jobs[static_cast<std::size_t>(row)];
    const TItemData& job = node.ItemData;
    const std::optional<std::string> name = profileName(job.Format);
    const QString format = name ? clipforge::widen(*name) : QStringLiteral("(none)");
    // Escaped, so that no name can break a line of the hint or forge one.
    const auto shown = [](const std::string& text) { return clipforge::widen(clipforge::displayText(text)); };
    QString hint = QStringLiteral("[File Name]: %1\n[format]: %2\n[path]: %3")
                       .arg(shown(clipforge::narrow(job.FileName)), format, shown(clipforge::narrow(job.Path)));
    if (node.State == jsFinished && !node.Output.empty())
        hint += QStringLiteral("\n[output]: %1 (%2)")
                    .arg(shown(node.Output.str()), QString::fromStdString(clipforge::sizeText(node.OutputSize)));
    if (node.State == jsFinished && !node.Warning.empty())
        hint += QStringLiteral("\n[warning]: ") + shown(node.Warning.str());
    if (node.State == jsFailed)
        hint += QStringLiteral("\n[error]: ") + shown(node.FailureReason.str());
    if (node.State == jsConverting && !node.Progress.empty())
        hint += QStringLiteral("\n[progress]: ") + clipforge::widen(node.Progress.str());
    return hint;
}

QModelIndex TTreeManager::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() || row < 0 || row >= Count() || column < 0 || column >= ColumnCount)
        return {};
    return createIndex(row, column);
}

QModelIndex TTreeManager::parent(const QModelIndex&) const
{
    return {};
}

int TTreeManager::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Count();
}

int TTreeManager::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TTreeManager::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.model() != this || index.row() >= Count())
        return {};
    const TItemNodeData& job = Jobs[static_cast<std::size_t>(index.row())];
    return index.column() == 0 ? jobColumnData(job, index.row(), role) : progressColumnData(job, role);
}

QVariant TTreeManager::jobColumnData(const TItemNodeData& job, int row, int role) const
{
    switch (role) {
    case Qt::DisplayRole:
        return job.ItemData.FileName;
    case Qt::DecorationRole:
    case StateRole:
        return job.State;
    case Qt::ToolTipRole:
        return Hint(row);
    case Qt::AccessibleDescriptionRole:
        return stateName(job.State);
    case FormatRole:
        return job.ItemData.Format;
    case PathRole:
        return job.ItemData.Path;
    default:
        return {};
    }
}

QVariant TTreeManager::progressColumnData(const TItemNodeData& job, int role) const
{
    switch (role) {
    case Qt::DisplayRole:
        return QString();
    // The moving block says nothing to a screen reader: the cell is read as its job, with how
    // far it has got.
    case Qt::AccessibleTextRole:
        return job.ItemData.FileName;
    case Qt::AccessibleDescriptionRole:
        return job.Progress.empty() ? stateName(job.State) : clipforge::widen(job.Progress.str());
    case StateRole:
        return job.State;
    case BusyRole:
        return job.ItemData.Busy;
    case FrameRole:
        return job.ItemData.Frame;
    default:
        return {};
    }
}

QVariant TTreeManager::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case 0: return QStringLiteral("File");
    case 1: return QStringLiteral("Progress");
    default: return {};
    }
}

Qt::ItemFlags TTreeManager::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
