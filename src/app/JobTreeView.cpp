#include "app/JobTreeView.h"

#include "app/JobItemDelegate.h"
#include "controls/ItemViewAccessible.h"
#include "core/TreeManager.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QPainter>

#include <algorithm>

namespace clipforge {

namespace {

const QColor treeColor(233, 234, 238);  // 0xEEEAE9 as stored
const QColor textColor(147, 121, 121);  // 0x797993 as stored
const QColor selectionColor(49, 106, 197, 60);

}  // namespace

JobTreeView::JobTreeView(QWidget* parent)
    : QTreeView(parent)
    , delegate_(new JobItemDelegate(this))
{
    setItemDelegate(delegate_);
    setUpLook();
    markFlatTree(*this);
}

void JobTreeView::setUpLook()
{
    // No visible border, but a border width: a frame in the list's own colour keeps the rows and
    // the scroll bar that far from the edges (contents margins would be ignored by the view).
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(borderWidth);
    setMidLineWidth(0);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setExpandsOnDoubleClick(false);
    setIconSize(QSize(16, 16));
    setMouseTracking(true);

    QPalette colours = palette();
    colours.setColor(QPalette::Base, treeColor);
    colours.setColor(QPalette::Window, treeColor);
    colours.setColor(QPalette::Text, textColor);
    colours.setColor(QPalette::WindowText, treeColor);
    colours.setColor(QPalette::Highlight, selectionColor);
    colours.setColor(QPalette::HighlightedText, textColor);
    setPalette(colours);
    setAutoFillBackground(true);
    // The background is painted by paintEvent, picture included.
    viewport()->setAutoFillBackground(false);
    delegate_->setBoxBackground(treeColor);
}

void JobTreeView::setJobs(TTreeManager* jobs)
{
    disconnect(focusRequests_);
    setModel(jobs);
    if (!jobs)
        return;
    setUpColumns();
    focusRequests_ = connect(jobs, &TTreeManager::nodeFocusRequested, this, [this](int row) { focusRow(row); });
}

// The job being converted is the one the user sees selected, so the keys act on it.
void JobTreeView::focusRow(int row)
{
    const QModelIndex job = model() ? model()->index(row, 0) : QModelIndex();
    if (!job.isValid())
        return;
    setFocus();
    setCurrentIndex(job);
}

void JobTreeView::setUpColumns()
{
    QHeaderView* columns = header();
    columns->setStretchLastSection(false);
    columns->setMinimumSectionSize(1);
    columns->resizeSection(0, fileColumnWidthNow());
    columns->resizeSection(1, progressColumnWidth);
    columns->setSectionResizeMode(0, QHeaderView::Fixed);
    columns->setSectionResizeMode(1, QHeaderView::Interactive);
}

void JobTreeView::setDesignedWidth(int width)
{
    designedWidth_ = width;
    if (model())
        header()->resizeSection(0, fileColumnWidthNow());
}

int JobTreeView::fileColumnWidthNow() const
{
    return fileColumnWidth + (designedWidth_ > 0 ? std::max(0, width() - designedWidth_) : 0);
}

void JobTreeView::setBackgroundPicture(const QImage& picture)
{
    background_ = picture;
    OnResize();
    viewport()->update();
}

void JobTreeView::setPopupMenu(QMenu* menu, std::function<bool()> allowed)
{
    popupMenu_ = menu;
    popupAllowed_ = std::move(allowed);
}

QMenu* JobTreeView::popupMenuAt(const QPoint& viewportPoint) const
{
    if (columnAt(viewportPoint.x()) != 0 || !menuOffered())
        return nullptr;
    return popupMenu_;
}

bool JobTreeView::menuOffered() const
{
    return popupMenu_ && (!popupAllowed_ || popupAllowed_());
}

void JobTreeView::showMenuForCurrentJob()
{
    const QModelIndex current = currentIndex();
    const QRect row = current.isValid() ? visualRect(current.siblingAtColumn(0)) : QRect();
    const QPoint place = row.isValid() ? row.bottomLeft() + QPoint(borderWidth, 0) : QPoint(0, 0);
    QMenu* menu = popupMenuAt(place);
    if (!menu)
        return;
    popupRow_ = current.isValid() ? current.row() : -1;
    menu->popup(viewport()->mapToGlobal(place));
    if (!menu->actions().isEmpty())
        menu->setActiveAction(menu->actions().constFirst());
}

int JobTreeView::focusedRow() const
{
    const QModelIndex focused = currentIndex();
    return focused.isValid() ? focused.row() : -1;
}

void JobTreeView::OnResize()
{
    const QSize client = viewport()->size();
    backgroundOffset_ = QPoint(client.width() - background_.width(), client.height() - background_.height());
}

void JobTreeView::resizeEvent(QResizeEvent* event)
{
    QTreeView::resizeEvent(event);
    if (model())
        header()->resizeSection(0, fileColumnWidthNow());
    OnResize();
}

void JobTreeView::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(viewport());
        painter.fillRect(event->rect(), treeColor);
        if (!background_.isNull())
            painter.drawImage(backgroundOffset_, background_);
    }
    QTreeView::paintEvent(event);
}

void JobTreeView::scrollContentsBy(int dx, int dy)
{
    // Moving the pixels would move the picture too; it stays put, so everything is repainted.
    QTreeView::scrollContentsBy(dx, dy);
    viewport()->update();
}

void JobTreeView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        const QModelIndex under = indexAt(event->position().toPoint());
        // A job of a selection keeps the selection, so the menu can act on all of it.
        if (under.isValid() && selectionModel()->isRowSelected(under.row()))
            selectionModel()->setCurrentIndex(under, QItemSelectionModel::NoUpdate);
        else if (under.isValid())
            setCurrentIndex(under);
        return;
    }
    QTreeView::mousePressEvent(event);
}

void JobTreeView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && OnColumnDblClick && indexAt(event->position().toPoint()).isValid())
        OnColumnDblClick(focusedRow());
}

void JobTreeView::contextMenuEvent(QContextMenuEvent* event)
{
    if (event->reason() == QContextMenuEvent::Keyboard) {
        showMenuForCurrentJob();
        event->accept();
        return;
    }
    const QPoint point = viewport()->mapFromGlobal(event->globalPos());
    QMenu* menu = popupMenuAt(point);
    if (!menu)
        return;
    const QModelIndex under = indexAt(point);
    popupRow_ = under.isValid() ? under.row() : -1;
    menu->popup(event->globalPos());
    event->accept();
}

}  // namespace clipforge
