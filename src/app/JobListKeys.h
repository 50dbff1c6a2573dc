#pragma once

#include <QObject>

#include <functional>

class QKeyEvent;

namespace clipforge {

class JobTreeView;

// The job list's keys: Delete and Enter act as the popup menu's Delete and Properties, and only
// where the menu would be offered; Ctrl+Up and Ctrl+Down move the current job one place;
// Shift+F10 opens the menu as the Menu key does.
class JobListKeys : public QObject {
public:
    struct Commands {
        std::function<void()> deleteSelected;
        std::function<void()> properties;
        // Moves the job at row by step places (-1 up, +1 down); refused while a run is active.
        std::function<void(int row, int step)> move;
    };

    // The tree must outlive this.
    JobListKeys(JobTreeView& tree, Commands commands);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handle(const QKeyEvent& key);
    bool moveCurrent(int step);

    JobTreeView& tree_;
    Commands commands_;
};

}  // namespace clipforge
