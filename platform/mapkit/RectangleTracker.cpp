// Rubber-band tracking in a local event loop, and the scripted stand-in.
#include "RectangleTracker.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QRubberBand>
#include <QWidget>

namespace mapkit {

namespace {

class DragFilter : public QObject {
public:
    DragFilter(QWidget &widget, const QPoint &start, QEventLoop &loop)
        : m_band(new QRubberBand(QRubberBand::Rectangle, &widget)), m_start(start), m_end(start), m_loop(loop)
    {
    }
    ~DragFilter() override { delete m_band.data(); }  // the widget may have taken it down already
    QRect rect() const { return QRect(m_start, m_end).normalized(); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseMove) {
            m_end = static_cast<QMouseEvent *>(event)->position().toPoint();
            m_band->setGeometry(rect());
            m_band->show();
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            m_end = static_cast<QMouseEvent *>(event)->position().toPoint();
            m_loop.quit();
            return true;
        }
        return false;
    }

private:
    QPointer<QRubberBand> m_band;
    QPoint m_start, m_end;
    QEventLoop &m_loop;
};

InteractiveTracker g_interactive;
RectangleTracker *g_tracker = nullptr;

}  // namespace

std::optional<QRect> InteractiveTracker::track(QWidget &widget, const QPoint &pressedAt)
{
    if (QGuiApplication::mouseButtons() == Qt::NoButton)
        return std::nullopt;
    QEventLoop loop;
    DragFilter filter(widget, pressedAt, loop);
    QPointer<QWidget> guard(&widget);
    widget.installEventFilter(&filter);
    loop.exec();
    if (!guard)
        return std::nullopt;
    widget.removeEventFilter(&filter);
    const QRect r = filter.rect();
    if (r.width() < 3 && r.height() < 3)
        return std::nullopt;
    return r;
}

std::optional<QRect> ScriptedTracker::track(QWidget &, const QPoint &)
{
    ++calls;
    return answers.isEmpty() ? std::nullopt : answers.dequeue();
}

RectangleTracker &rectangleTracker()
{
    return g_tracker ? *g_tracker : g_interactive;
}

void setRectangleTracker(RectangleTracker *tracker)
{
    g_tracker = tracker;
}

}  // namespace mapkit
