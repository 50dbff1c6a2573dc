#pragma once

#include <QAccessibleWidget>

class TGradientProgressBar;

namespace clipforge {

// A progress bar read as its name and, as its value and description, the percentage its position
// stands for between Min and Max. It has no value interface: screen readers offer Increase and
// Decrease on anything with one, and nobody but the program moves this bar.
class GradientProgressBarAccessible : public QAccessibleWidget {
public:
    explicit GradientProgressBarAccessible(TGradientProgressBar* bar);

    QString text(QAccessible::Text kind) const override;

private:
    TGradientProgressBar& bar() const;
};

}  // namespace clipforge
