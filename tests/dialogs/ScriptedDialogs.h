#pragma once

#include "dialogs/DialogService.h"

#include <QDialog>

#include <deque>
#include <ostream>
#include <functional>
#include <vector>

// Lets failing expectations show Qt texts.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& texts, std::ostream* out)
{
    *out << '{';
    for (const QString& text : texts)
        *out << '"' << text.toStdString() << "\" ";
    *out << '}';
}

// Answers the program's dialogs from queues a test fills beforehand and records every
// message box and web page. A dialog with no answer queued is cancelled.
class ScriptedDialogs : public clipforge::DialogService {
public:
    struct Message {
        QString text;
        QMessageBox::Icon icon;
        QString title;
    };

    std::deque<QStringList> openFileNamesAnswers;
    std::deque<QString> openFileNameAnswers;
    std::deque<QString> saveFileNameAnswers;
    std::deque<QString> directoryAnswers;
    std::deque<bool> questionAnswers;
    // Unanswered choices are cancelled, as Escape does.
    std::deque<int> choiceAnswers;
    // Plays what happens while a question's box is open, before it is answered.
    std::function<void()> whileAsking;
    std::deque<std::function<void(QDialog&)>> modalScripts;

    std::vector<Message> messages;
    std::vector<QUrl> openedUrls;
    std::vector<QString> directoryTitles;
    std::vector<QString> filters;
    // The folder each file dialog or folder browser opened in, in order.
    std::vector<QString> startFolders;
    std::vector<QString> questions;
    std::vector<QStringList> choiceAnswerTexts;
    int modalCount = 0;
    // False plays a desktop with no program to open pages with.
    bool openUrlWorks = true;

    QStringList openFileNames(QWidget*, const QString& filter, const QString& folder) override
    {
        filters.push_back(filter);
        startFolders.push_back(folder);
        return take(openFileNamesAnswers);
    }
    QString openFileName(QWidget*, const QString& filter, const QString& folder) override
    {
        filters.push_back(filter);
        startFolders.push_back(folder);
        return take(openFileNameAnswers);
    }
    QString saveFileName(QWidget*, const QString& filter, const QString& folder) override
    {
        filters.push_back(filter);
        startFolders.push_back(folder);
        return take(saveFileNameAnswers);
    }
    QString existingDirectory(QWidget*, const QString& title, const QString& folder) override
    {
        directoryTitles.push_back(title);
        startFolders.push_back(folder);
        return take(directoryAnswers);
    }
    void message(QWidget*, const QString& text, QMessageBox::Icon icon) override
    {
        messages.push_back({text, icon, clipforge::applicationTitle()});
    }
    // Unanswered questions are answered no, as closing the box does.
    bool question(QWidget*, const QString& text, Preferred = Preferred::No) override
    {
        questions.push_back(text);
        if (whileAsking)
            whileAsking();
        return take(questionAnswers);
    }
    int choose(QWidget*, const QString& text, const QStringList& answers, int) override
    {
        questions.push_back(text);
        choiceAnswerTexts.push_back(answers);
        if (whileAsking)
            whileAsking();
        return choiceAnswers.empty() ? -1 : take(choiceAnswers);
    }
    bool openUrl(const QUrl& address) override
    {
        openedUrls.push_back(address);
        return openUrlWorks;
    }

    // The script plays the user: it may click buttons, which close the dialog.
    void execModal(QDialog& dialog) override
    {
        ++modalCount;
        dialog.setModal(true);
        dialog.show();
        if (!modalScripts.empty()) {
            auto script = std::move(modalScripts.front());
            modalScripts.pop_front();
            script(dialog);
        }
        if (dialog.isVisible())
            dialog.reject();
    }

private:
    template <typename T>
    static T take(std::deque<T>& answers)
    {
        if (answers.empty())
            return T();
        T answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }
};
