#include "app/FileDrop.h"

#include "app/OpenFiles.h"

#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

namespace clipforge {

namespace {

QList<QUrl> urlsOf(const QDropEvent& event)
{
    const QMimeData* data = event.mimeData();
    return data && data->hasUrls() ? data->urls() : QList<QUrl>();
}

}  // namespace

FileDrop::FileDrop(QWidget& window, std::function<bool()> accepts, std::function<void(const QStringList&)> dropped)
    : window_(window)
    , accepts_(std::move(accepts))
    , dropped_(std::move(dropped))
{
    window_.setAcceptDrops(true);
    window_.installEventFilter(this);
}

FileDrop::~FileDrop()
{
    window_.removeEventFilter(this);
    window_.setAcceptDrops(false);
}

// A dropped folder is searched through; the pointer moving over the window must not search it
// again at every step.
QStringList FileDrop::droppedFiles(const QDropEvent& event)
{
    const QList<QUrl> urls = urlsOf(event);
    if (urls != seenUrls_) {
        seenUrls_ = urls;
        seenFiles_ = filesFromUrls(urls);
    }
    return seenFiles_;
}

bool FileDrop::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (accepts_() && !droppedFiles(*drag).isEmpty())
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        // The run may have started between the drag's entry and the drop, and the folders may
        // have changed: what is there now counts.
        seenUrls_.clear();
        const QStringList files = accepts_() ? filesFromUrls(urlsOf(*drop)) : QStringList();
        if (files.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        // The dialog is modal: opened later, so the drag's source hears at once that the drop is done.
        QMetaObject::invokeMethod(this, [this, files] { dropped_(files); }, Qt::QueuedConnection);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

}  // namespace clipforge
