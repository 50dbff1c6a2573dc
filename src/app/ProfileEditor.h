#pragma once

#include "engine/ProfileDraft.h"

#include <QDialog>

#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class TCommandManager;

namespace clipforge {

class ProfileTrial;

// Lists every profile and edits the user's own: shipped and system ones are read-only, Copy
// starts a profile of the user's own from any. Try converts the first seconds of a file with the
// fields as they stand; Save checks them and writes under the lock; Delete refuses a profile
// that queued jobs use.
class ProfileEditor : public QDialog {
public:
    struct Services {
        // The number of queued jobs that use profile number.
        std::function<int(int number)> jobsUsing;
        // Called after the user's file changed, once the catalogue has read it again.
        std::function<void()> saved;
    };

    ProfileEditor(TCommandManager& catalogue, Services services, QWidget* parent = nullptr);
    ~ProfileEditor() override;

    QListWidget* list = nullptr;
    QLineEdit* name = nullptr;
    QLineEdit* ext = nullptr;
    QLineEdit* params = nullptr;
    QPushButton* copyButton = nullptr;
    QPushButton* tryButton = nullptr;
    QPushButton* saveButton = nullptr;
    QPushButton* deleteButton = nullptr;
    QPushButton* closeButton = nullptr;
    QLabel* result = nullptr;

    void copyClick();
    void tryClick();
    void saveClick();
    void deleteClick();

private:
    void build();
    void fillList(int selectNumber);
    void showRow(int row);
    void setEditable(bool editable);
    void tell(const QString& text);
    bool checked(ProfileDraft& draft);
    ProfileDraft draftFromFields() const;
    void reload(int selectNumber);

    TCommandManager& catalogue_;
    Services services_;
    std::unique_ptr<ProfileTrial> trial_;
    // The user's profile being edited: its id, 0 for a copy not yet saved, -1 for none.
    int editing_ = -1;
};

}  // namespace clipforge
