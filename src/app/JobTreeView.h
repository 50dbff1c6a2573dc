#pragma once

#include <QImage>
#include <QTreeView>

#include <functional>

class QMenu;
class TTreeManager;

namespace clipforge {

class JobItemDelegate;

// The job list on screen: two columns without a header, one 25-pixel row per job, a
// picture that stays in the lower right corner whatever is scrolled, and the job menu.
class JobTreeView : public QTreeView {
public:
    static constexpr int fileColumnWidth = 700;
    static constexpr int progressColumnWidth = 100;
    static constexpr int borderWidth = 5;

    explicit JobTreeView(QWidget* parent = nullptr);

    void setJobs(TTreeManager* jobs);
    JobItemDelegate& delegate() { return *delegate_; }

    // The list's width at which the columns have their own widths; whatever the list is wider
    // goes to the file column, the progress column keeping its width (its block's sweep).
    void setDesignedWidth(int width);

    void setBackgroundPicture(const QImage& picture);
    QPoint backgroundOffset() const { return backgroundOffset_; }

    // The menu offered on a right click in column 0, when allowed says so at that moment.
    void setPopupMenu(QMenu* menu, std::function<bool()> allowed);
    QMenu* popupMenuAt(const QPoint& viewportPoint) const;
    // Whether the menu would be offered on the jobs' column right now.
    bool menuOffered() const;
    // The menu as the keyboard opens it: beside the current job, its first item highlighted.
    void showMenuForCurrentJob();

    // Raised by a double click with the focused job's row.
    std::function<void(int row)> OnColumnDblClick;

    int focusedRow() const;
    // The job the menu was last opened on; -1 when it was opened below the jobs.
    int popupRow() const { return popupRow_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void setUpLook();
    void setUpColumns();
    int fileColumnWidthNow() const;
    void focusRow(int row);
    void OnResize();

    JobItemDelegate* delegate_;
    int designedWidth_ = 0;
    QImage background_;
    QPoint backgroundOffset_;
    QMenu* popupMenu_ = nullptr;
    int popupRow_ = -1;
    std::function<bool()> popupAllowed_;
    QMetaObject::Connection focusRequests_;
};

}  // namespace clipforge
