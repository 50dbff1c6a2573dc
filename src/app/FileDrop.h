#pragma once

#include <QObject>
#include <QStringList>
#include <QUrl>

#include <functional>

class QDropEvent;
class QWidget;

namespace clipforge {

// Lets a window take files dropped on it. While accepts() is false a drag is refused, so the
// pointer shows that nothing would happen and a drop never arrives.
class FileDrop : public QObject {
public:
    FileDrop(QWidget& window, std::function<bool()> accepts, std::function<void(const QStringList&)> dropped);
    ~FileDrop() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QStringList droppedFiles(const QDropEvent& event);

    QWidget& window_;
    std::function<bool()> accepts_;
    std::function<void(const QStringList&)> dropped_;
    QList<QUrl> seenUrls_;
    QStringList seenFiles_;
};

}  // namespace clipforge
