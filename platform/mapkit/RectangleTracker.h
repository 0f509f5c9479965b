// The seam through which the map lets the user drag a rectangle: interactive by default, scripted in tests.
#pragma once

#include <QQueue>
#include <QRect>
#include <optional>

class QWidget;

namespace mapkit {

class RectangleTracker {
public:
    virtual ~RectangleTracker() = default;
    // The rectangle dragged on `widget`, in its pixels; nothing when the user did not drag.
    virtual std::optional<QRect> track(QWidget &widget, const QPoint &pressedAt) = 0;
};

// Follows the held mouse button with a rubber band until it is released; a drag shorter than three
// pixels each way counts as none.
class InteractiveTracker : public RectangleTracker {
public:
    std::optional<QRect> track(QWidget &widget, const QPoint &pressedAt) override;
};

// Answers from a queue (none when it is empty) and counts the calls.
class ScriptedTracker : public RectangleTracker {
public:
    QQueue<std::optional<QRect>> answers;
    int calls = 0;
    std::optional<QRect> track(QWidget &widget, const QPoint &pressedAt) override;
};

// The installed tracker (the interactive one unless a test installed another); not owned.
RectangleTracker &rectangleTracker();
void setRectangleTracker(RectangleTracker *tracker);  // null puts the interactive one back

}  // namespace mapkit
