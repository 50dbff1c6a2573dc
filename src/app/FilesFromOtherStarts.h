#pragma once

#include "app/InstanceMessage.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

class TmainDlg;

namespace clipforge {

// What later starts hand to the running window: the window comes to the front, and their files
// open the Add Files dialog as files from the command line do. While a run is active or a modal
// dialog is open they are held, and open as soon as that has ended; files of several starts in
// the meantime open together.
class FilesFromOtherStarts : public QObject {
public:
    explicit FilesFromOtherStarts(TmainDlg& window);

    void receive(const InstanceMessage& message);

    const QStringList& held() const { return held_; }

private:
    bool canOpenNow() const;
    void openHeld();

    TmainDlg& window_;
    QStringList held_;
    // A run's end is the window's business; it is checked for rather than announced.
    QTimer retry_;
};

// Brings a window (or the modal dialog over it) to the front, using the activation token the
// desktop gave the start that asked for it.
void bringToFront(QWidget& window, const QByteArray& activationToken);

}  // namespace clipforge
