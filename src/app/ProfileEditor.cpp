#include "app/ProfileEditor.h"

#include "core/CommandManager.h"
#include "core/LocalText.h"
#include "core/Paths.h"
#include "dialogs/DialogService.h"
#include "engine/AddedProfileStore.h"
#include "engine/ProfileTrial.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace clipforge {
namespace {

QPushButton* makeButton(QWidget* parent, const QString& caption, const QString& accessibleName)
{
    auto* button = new QPushButton(caption, parent);
    button->setAccessibleName(accessibleName);
    button->setAutoDefault(false);
    return button;
}

QLineEdit* makeField(QWidget* parent, const QString& accessibleName)
{
    auto* field = new QLineEdit(parent);
    field->setAccessibleName(accessibleName);
    return field;
}

}  // namespace

ProfileEditor::ProfileEditor(TCommandManager& catalogue, Services services, QWidget* parent)
    : QDialog(parent)
    , catalogue_(catalogue)
    , services_(std::move(services))
    , trial_(std::make_unique<ProfileTrial>(programFolder()))
{
    build();
    trial_->OnDone = [this](bool finished, const std::string& text) {
        tryButton->setEnabled(true);
        tell((finished ? QStringLiteral("Try finished: ") : QStringLiteral("Try failed: ")) + widen(text));
    };
    fillList(-1);
}

ProfileEditor::~ProfileEditor() = default;

void ProfileEditor::build()
{
    setWindowTitle(QStringLiteral("Profiles"));
    setAccessibleName(QStringLiteral("Profiles"));
    list = new QListWidget(this);
    list->setAccessibleName(QStringLiteral("Profiles"));
    name = makeField(this, QStringLiteral("Name"));
    ext = makeField(this, QStringLiteral("Extension"));
    params = makeField(this, QStringLiteral("FFmpeg arguments"));
    copyButton = makeButton(this, QStringLiteral("&Copy"), QStringLiteral("Copy"));
    tryButton = makeButton(this, QStringLiteral("&Try..."), QStringLiteral("Try"));
    saveButton = makeButton(this, QStringLiteral("&Save"), QStringLiteral("Save"));
    deleteButton = makeButton(this, QStringLiteral("De&lete"), QStringLiteral("Delete"));
    closeButton = makeButton(this, QStringLiteral("Close"), QStringLiteral("Close"));
    saveButton->setDefault(true);
    result = new QLabel(this);
    result->setAccessibleName(QStringLiteral("Result"));
    result->setWordWrap(true);
    result->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    result->setMinimumHeight(48);

    auto* fields = new QFormLayout;
    const auto addRow = [&](const QString& caption, QLineEdit* field) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(field);
        fields->addRow(label, field);
    };
    addRow(QStringLiteral("&Name:"), name);
    addRow(QStringLiteral("E&xtension:"), ext);
    addRow(QStringLiteral("&Arguments:"), params);
    auto* listLabel = new QLabel(QStringLiteral("&Profiles:"), this);
    listLabel->setBuddy(list);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {copyButton, tryButton, saveButton, deleteButton})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(listLabel);
    layout->addWidget(list, 1);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->addWidget(result);
    resize(640, 480);

    QWidget* const order[] = {list, name, ext, params, copyButton, tryButton, saveButton, deleteButton, closeButton};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(list, &QListWidget::currentRowChanged, this, [this](int row) { showRow(row); });
    connect(copyButton, &QPushButton::clicked, this, [this] { copyClick(); });
    connect(tryButton, &QPushButton::clicked, this, [this] { tryClick(); });
    connect(saveButton, &QPushButton::clicked, this, [this] { saveClick(); });
    connect(deleteButton, &QPushButton::clicked, this, [this] { deleteClick(); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

void ProfileEditor::fillList(int selectNumber)
{
    const QSignalBlocker quiet(list);
    list->clear();
    for (const std::string& shown : catalogue_.Names())
        list->addItem(widen(shown));
    const int row = catalogue_.RowOf(selectNumber);
    list->setCurrentRow(row >= 0 ? row : 0);
    showRow(list->currentRow());
}

void ProfileEditor::showRow(int row)
{
    const int number = catalogue_.NumberAt(row);
    if (number < 0) {
        editing_ = -1;
        setEditable(false);
        return;
    }
    const bool mine = catalogue_.OriginAt(row) == ProfileOrigin::User;
    editing_ = mine ? number : -1;
    std::string shown = catalogue_.Names()[static_cast<std::size_t>(row)];
    const std::string mark = TCommandManager::Mark(catalogue_.OriginAt(row));
    if (!mark.empty() && shown.size() >= mark.size() && shown.compare(shown.size() - mark.size(), mark.size(), mark) == 0)
        shown.resize(shown.size() - mark.size());
    name->setText(widen(shown));
    ext->setText(widen(catalogue_.GetExt(number)));
    params->setText(widen(catalogue_.GetParams(number)));
    setEditable(mine);
    tell(mine ? QString() : QStringLiteral("This profile is read-only: Copy makes one of your own from it."));
}

void ProfileEditor::setEditable(bool editable)
{
    for (QLineEdit* field : {name, ext, params})
        field->setReadOnly(!editable);
    saveButton->setEnabled(editable);
    deleteButton->setEnabled(editable && editing_ > 0);
}

void ProfileEditor::tell(const QString& text)
{
    result->setText(text);
}

ProfileDraft ProfileEditor::draftFromFields() const
{
    return {narrow(name->text()), narrow(ext->text()), narrow(params->text())};
}

bool ProfileEditor::checked(ProfileDraft& draft)
{
    const std::string refusal = refuseDraft(draft);
    if (refusal.empty())
        return true;
    tell(QStringLiteral("Not saved: %1.").arg(widen(refusal)));
    return false;
}

void ProfileEditor::copyClick()
{
    const QString base = name->text();
    editing_ = 0;
    name->setText(QStringLiteral("Copy of %1").arg(base));
    setEditable(true);
    tell(QStringLiteral("A new profile of your own: change it, then Save."));
    name->setFocus();
    name->selectAll();
}

void ProfileEditor::tryClick()
{
    ProfileDraft draft = draftFromFields();
    if (!checked(draft))
        return;
    const QString source = DialogService::instance().openFileName(this, QStringLiteral("All Files (*)"), QString());
    if (source.isEmpty())
        return;
    tryButton->setEnabled(false);
    tell(QStringLiteral("Trying the first five seconds..."));
    trial_->start(narrow(source), draft.params, draft.ext);
}

void ProfileEditor::saveClick()
{
    if (editing_ < 0)
        return;
    ProfileDraft draft = draftFromFields();
    if (!checked(draft))
        return;
    try {
        AddedProfileStore store;
        int saved = editing_;
        if (editing_ == 0)
            saved = store.add(draft);
        else if (!store.replace(editing_, draft))
            saved = store.add(draft);  // deleted meanwhile elsewhere: kept as a new profile
        reload(saved);
        tell(QStringLiteral("Saved as profile %1.").arg(saved));
    } catch (const std::exception& error) {
        tell(QStringLiteral("Not saved: %1").arg(widen(error.what())));
    }
}

void ProfileEditor::deleteClick()
{
    if (editing_ <= 0)
        return;
    const int users = services_.jobsUsing ? services_.jobsUsing(editing_) : 0;
    if (users > 0) {
        tell(QStringLiteral("Not deleted: %1 queued job%2 use%3 this profile.")
                 .arg(users)
                 .arg(users == 1 ? QString() : QStringLiteral("s"))
                 .arg(users == 1 ? QStringLiteral("s") : QString()));
        return;
    }
    try {
        AddedProfileStore().remove(editing_);
        reload(-1);
        tell(QStringLiteral("Deleted."));
    } catch (const std::exception& error) {
        tell(QStringLiteral("Not deleted: %1").arg(widen(error.what())));
    }
}

void ProfileEditor::reload(int selectNumber)
{
    std::vector<std::string> problems;
    catalogue_.ReloadAdded(problems);
    fillList(selectNumber);
    if (services_.saved)
        services_.saved();
    for (const std::string& problem : problems)
        DialogService::instance().message(this, widen(problem), QMessageBox::Warning);
}

}  // namespace clipforge
