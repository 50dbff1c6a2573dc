#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>

#include <functional>

class QFrame;
class QMouseEvent;
class QTreeView;

namespace clipforge {

// Moves the selected jobs by dragging them with the left button to a new place in the list,
// while allowed() says so. A line shows where they will land. Pressing on a job that is already
// selected keeps the selection, so several jobs can be dragged at once; a click without a drag
// then selects that job alone, as usual. Shift and Ctrl clicks are the view's. Dragging near the
// top or bottom edge scrolls the list.
class RowDragMove : public QObject {
public:
    // move(rows, gap): rows (ascending) go, in their order, to the gap before row gap (the
    // number of jobs for the end), counted in the list as it is before the move.
    using Move = std::function<void(const QList<int>& rows, int gap)>;

    RowDragMove(QTreeView& view, std::function<bool()> allowed, Move move);
    ~RowDragMove() override;

    bool dragging() const { return dragging_; }
    // The gap a drop at this viewport point lands in.
    int gapAt(const QPoint& point) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool pressed(const QMouseEvent& mouse);
    bool moved(const QMouseEvent& mouse);
    bool released(const QMouseEvent& mouse);
    void scrollNearEdge(const QPoint& point);
    void showGap(int gap);
    void reset();
    QList<int> selectedRows() const;

    QTreeView& view_;
    std::function<bool()> allowed_;
    Move move_;
    QPointer<QFrame> line_;
    int pressRow_ = -1;
    QPoint pressPoint_;
    bool pressWasSelected_ = false;
    bool dragging_ = false;
};

}  // namespace clipforge
