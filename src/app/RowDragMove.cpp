#include "app/RowDragMove.h"

#include <QApplication>
#include <QFrame>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTreeView>

#include <algorithm>

namespace clipforge {

namespace {

const QColor gapLineColor(21, 66, 139);  // the captions' blue
constexpr int gapLineHeight = 2;
// Dragging this close to the top or bottom edge scrolls the list, for a gap out of sight.
constexpr int scrollEdge = 12;

}  // namespace

RowDragMove::RowDragMove(QTreeView& view, std::function<bool()> allowed, Move move)
    : view_(view)
    , allowed_(std::move(allowed))
    , move_(std::move(move))
    , line_(new QFrame(view.viewport()))
{
    line_->setAutoFillBackground(true);
    QPalette colours = line_->palette();
    colours.setColor(QPalette::Window, gapLineColor);
    line_->setPalette(colours);
    line_->hide();
    view.viewport()->installEventFilter(this);
}

RowDragMove::~RowDragMove()
{
    delete line_.data();
}

int RowDragMove::gapAt(const QPoint& point) const
{
    const QModelIndex under = view_.indexAt(QPoint(1, point.y()));
    if (!under.isValid())
        return point.y() < 0 ? 0 : view_.model()->rowCount();
    const QRect row = view_.visualRect(under);
    return under.row() + (point.y() >= row.center().y() ? 1 : 0);
}

bool RowDragMove::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != view_.viewport() || !view_.model())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        return pressed(static_cast<QMouseEvent&>(*event));
    case QEvent::MouseMove:
        return moved(static_cast<QMouseEvent&>(*event));
    case QEvent::MouseButtonRelease:
        return released(static_cast<QMouseEvent&>(*event));
    default:
        return false;
    }
}

bool RowDragMove::pressed(const QMouseEvent& mouse)
{
    reset();
    if (mouse.button() != Qt::LeftButton || (mouse.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)))
        return false;
    const QModelIndex under = view_.indexAt(mouse.position().toPoint());
    if (!under.isValid())
        return false;
    pressRow_ = under.row();
    pressPoint_ = mouse.position().toPoint();
    pressWasSelected_ = view_.selectionModel()->isRowSelected(pressRow_);
    // The view would collapse the selection to this job before a drag of them all could start.
    return pressWasSelected_;
}

bool RowDragMove::moved(const QMouseEvent& mouse)
{
    if (pressRow_ < 0 || !(mouse.buttons() & Qt::LeftButton))
        return false;
    const QPoint point = mouse.position().toPoint();
    if (!dragging_) {
        if ((point - pressPoint_).manhattanLength() < QApplication::startDragDistance() || !allowed_())
            return pressWasSelected_;
        dragging_ = true;
    }
    scrollNearEdge(point);
    showGap(gapAt(point));
    return true;
}

void RowDragMove::scrollNearEdge(const QPoint& point)
{
    QScrollBar& bar = *view_.verticalScrollBar();
    if (point.y() < scrollEdge)
        bar.setValue(bar.value() - bar.singleStep());
    else if (point.y() > view_.viewport()->height() - scrollEdge)
        bar.setValue(bar.value() + bar.singleStep());
}

bool RowDragMove::released(const QMouseEvent& mouse)
{
    if (pressRow_ < 0 || mouse.button() != Qt::LeftButton)
        return false;
    const bool wasDragging = dragging_;
    const bool wasSelected = pressWasSelected_;
    const int row = pressRow_;
    reset();
    if (wasDragging) {
        if (allowed_())
            move_(selectedRows(), gapAt(mouse.position().toPoint()));
        return wasSelected;
    }
    if (wasSelected) {
        view_.selectionModel()->setCurrentIndex(view_.model()->index(row, 0),
                                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return true;
    }
    return false;
}

void RowDragMove::showGap(int gap)
{
    const int rows = view_.model()->rowCount();
    int y = 0;
    if (gap < rows)
        y = view_.visualRect(view_.model()->index(gap, 0)).top();
    else if (rows > 0)
        y = view_.visualRect(view_.model()->index(rows - 1, 0)).bottom() + 1;
    line_->setGeometry(0, y - gapLineHeight / 2, view_.viewport()->width(), gapLineHeight);
    line_->show();
    line_->raise();
}

void RowDragMove::reset()
{
    pressRow_ = -1;
    pressWasSelected_ = false;
    dragging_ = false;
    if (line_)
        line_->hide();
}

QList<int> RowDragMove::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex& selected : view_.selectionModel()->selectedRows())
        rows << selected.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

}  // namespace clipforge
