#pragma once

#include <QWidget>

// The main window: it only creates and places its controls.
class TmainDlg : public QWidget {
public:
    TmainDlg();
};
