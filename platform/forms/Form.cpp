// Window base: geometry in twips, background picture, close as unload.
#include "Form.h"

#include "FormRegistry.h"
#include "Twips.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <cmath>

namespace forms {

Form::Form(const QString &name, QWidget *parent) : QWidget(parent)
{
    setObjectName(name);
}

Form::~Form() = default;

QMdiSubWindow *Form::subWindow() const
{
    return qobject_cast<QMdiSubWindow *>(parentWidget());
}

QWidget *Form::frame() const
{
    if (QMdiSubWindow *sub = subWindow())
        return sub;
    return const_cast<Form *>(this);
}

double Form::leftTwips() const { return pixelsToTwips(frame()->x()); }
double Form::topTwips() const { return pixelsToTwips(frame()->y()); }
double Form::widthTwips() const { return pixelsToTwips(frame()->width()); }
double Form::heightTwips() const { return pixelsToTwips(frame()->height()); }

void Form::moveTwips(double left, double top)
{
    frame()->move(int(std::lround(twipsToPixels(left))), int(std::lround(twipsToPixels(top))));
}

void Form::resizeTwips(double width, double height)
{
    frame()->resize(int(std::lround(twipsToPixels(width))), int(std::lround(twipsToPixels(height))));
}

void Form::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    update();
}

void Form::setBackColor(OleColor color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, toQColor(color));
    setPalette(pal);
    setAutoFillBackground(true);
}

void Form::unload()
{
    FormRegistry::unload(this);
}

void Form::activate()
{
    if (QMdiSubWindow *sub = subWindow()) {
        if (QMdiArea *area = sub->mdiArea())
            area->setActiveSubWindow(sub);
    } else {
        activateWindow();
        raise();
    }
}

void Form::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    if (!m_picture.isNull()) {
        QPainter p(this);
        p.drawPixmap(0, 0, m_picture);
    }
}

void Form::closeEvent(QCloseEvent *event)
{
    if (m_loaded && !m_unloading)
        FormRegistry::unload(this);
    event->accept();
}

bool Form::event(QEvent *event)
{
    // Work windows learn of activation from the MDI area; top-level ones from the platform.
    if (event->type() == QEvent::WindowActivate && !subWindow() && m_loaded)
        formActivate();
    return QWidget::event(event);
}

}  // namespace forms
