#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace clipforge {

// The filter of Add's open-file dialog: every video extension, then all files.
QString videoFilter();

// What the user chose in the Add Files dialog for all the files of one Add.
struct AddChoice {
    std::int32_t format = -1;
    QString folder;
};

// Shows the Add Files dialog for the picked files and reads the user's choice.
class AddDlgOpener {
public:
    explicit AddDlgOpener(const std::vector<std::string>& profileNames);

    // No value when the user did not confirm.
    std::optional<AddChoice> ask(const QStringList& names) const;

private:
    const std::vector<std::string>& profileNames_;
};

}  // namespace clipforge
