#pragma once

#include <QLabel>
#include <QRect>

namespace clipforge {

// A right-aligned label with a rectangle of its own on the form. Whatever font the system picks
// for it, it never cuts its text: when the text needs more room than the rectangle gives, the
// label grows to the left (its free side) and downwards, and shrinks back to the rectangle when
// the text fits again.
class FittedLabel : public QLabel {
public:
    FittedLabel(const QString& text, const QRect& place, QWidget* parent);

    // Fits at once; a text set through QLabel is fitted before it is painted.
    void setText(const QString& text);

    // The rectangle the label is given when its text fits; it grows from there.
    QRect place() const { return place_; }
    void setPlace(const QRect& place);

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void fit();

    QRect place_;
};

// Gives a right-aligned label the rectangle place, or more where its text needs more: to the
// left and downwards.
void fitToText(QLabel& label, const QRect& place);

}  // namespace clipforge
