#pragma once

#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <vector>

namespace clipforge {

// Keeps controls where a window of fixed design put them while the window grows: each control
// keeps its distance to the edges it is anchored to, and one anchored to both edges of a
// direction stretches along it. Controls inside a control that stretches both ways move by the
// same amount, so one growth serves every level.
class WindowAnchors {
public:
    // Remembers widget's present geometry as its designed one.
    void add(QWidget* widget, Qt::Edges edges);

    // Places every control for a window growth larger than designed; never shrinks below design.
    void apply(QSize growth) const;

    static QRect placed(const QRect& designed, Qt::Edges edges, QSize growth);

private:
    struct Anchored {
        QPointer<QWidget> widget;
        QRect designed;
        Qt::Edges edges;
    };
    std::vector<Anchored> anchored_;
};

}  // namespace clipforge
