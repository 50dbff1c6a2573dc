#pragma once

#include <QObject>

#include <functional>

class QKeyEvent;
class QWidget;

namespace clipforge {

// Shows a form every key pressed in it before its controls see it, including keys that reach a
// drop-down list the form has opened, which is a window of its own. The handler is told which
// widget the key was addressed to and answers whether it used the key; a used key goes no further.
class KeyPreview : public QObject {
public:
    using Handler = std::function<bool(QWidget& receiver, QKeyEvent& key)>;

    KeyPreview(QWidget& form, Handler handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool belongsToForm(QObject* receiver) const;

    QWidget& form_;
    Handler handler_;
};

// The letter of an Alt+letter key, or a null character.
QChar altLetter(const QKeyEvent& key);

}  // namespace clipforge
