#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QUrl>

class QDialog;
class QWidget;

namespace clipforge {

// Every dialog and message box the program shows goes through one service, so that
// tests can answer them without a person and without a nested event loop hanging.
class DialogService {
public:
    virtual ~DialogService() = default;

    // File dialogs take filters in the program's "Desc|*.a;*.b" form and open in folder (the
    // toolkit's choice when empty).
    virtual QStringList openFileNames(QWidget* owner, const QString& filter, const QString& folder) = 0;
    virtual QString openFileName(QWidget* owner, const QString& filter, const QString& folder) = 0;
    virtual QString saveFileName(QWidget* owner, const QString& filter, const QString& folder) = 0;
    virtual QString existingDirectory(QWidget* owner, const QString& title, const QString& folder) = 0;

    virtual void message(QWidget* owner, const QString& text, QMessageBox::Icon icon) = 0;
    // A yes/no question; true only for Yes, so closing the box (Escape) answers no. Enter gives
    // the preferred answer.
    enum class Preferred { No, Yes };
    virtual bool question(QWidget* owner, const QString& text, Preferred preferred = Preferred::No) = 0;

    // A question answered in the program's own words: the index of the answer chosen, or -1 when
    // the box was closed (Escape). Enter gives answers[preferred].
    virtual int choose(QWidget* owner, const QString& text, const QStringList& answers, int preferred) = 0;

    // Opens a web page in the user's browser; false when no program could be started for it.
    virtual bool openUrl(const QUrl& address) = 0;

    // Runs one of the program's own modal forms; returns when it has closed.
    virtual void execModal(QDialog& dialog) = 0;

    static DialogService& instance();
};

// The real dialogs of the platform.
class QtDialogService : public DialogService {
public:
    QStringList openFileNames(QWidget* owner, const QString& filter, const QString& folder) override;
    QString openFileName(QWidget* owner, const QString& filter, const QString& folder) override;
    QString saveFileName(QWidget* owner, const QString& filter, const QString& folder) override;
    QString existingDirectory(QWidget* owner, const QString& title, const QString& folder) override;
    void message(QWidget* owner, const QString& text, QMessageBox::Icon icon) override;
    bool question(QWidget* owner, const QString& text, Preferred preferred = Preferred::No) override;
    int choose(QWidget* owner, const QString& text, const QStringList& answers, int preferred) override;
    bool openUrl(const QUrl& address) override;
    void execModal(QDialog& dialog) override;
};

// Replaces the service for its own lifetime; the previous one comes back afterwards.
class ScopedDialogService {
public:
    explicit ScopedDialogService(DialogService& replacement);
    ~ScopedDialogService();
    ScopedDialogService(const ScopedDialogService&) = delete;
    ScopedDialogService& operator=(const ScopedDialogService&) = delete;

private:
    DialogService* previous_;
};

// The caption of every message box: the application's title. Kept here rather than as Qt's
// display name, which Qt would append to every window's caption.
QString applicationTitle();
void setApplicationTitle(const QString& title);

}  // namespace clipforge
