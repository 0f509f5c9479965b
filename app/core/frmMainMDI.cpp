// Main window: layout, background of the work area, the maximized state, start-up on load.
#include "frmMainMDI.h"

#include "Program.h"
#include "Startup.h"

#include "forms/FormRegistry.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QPainter>
#include <QVBoxLayout>

namespace pendra {

namespace {
// A work area that paints the main window's picture over its whole visible part: the picture was
// made for the start page, which leaves a strip at the right and the bottom, so it is stretched.
class PictureMdiArea : public QMdiArea {
public:
    using QMdiArea::QMdiArea;
    void setPicture(const QPixmap &p)
    {
        m_picture = p;
        m_scaled = QPixmap();
        viewport()->update();
    }
    const QPixmap &picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QMdiArea::paintEvent(event);
        if (m_picture.isNull())
            return;
        const QSize size = viewport()->size();
        if (m_scaled.size() != size)  // scaled once per size, not on every paint
            m_scaled = m_picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QPainter p(viewport());
        p.drawPixmap(0, 0, m_scaled);
    }

private:
    QPixmap m_picture;
    QPixmap m_scaled;
};
}  // namespace

frmMainMDI::frmMainMDI() : forms::Form("frmMainMDI")
{
    setMdiChild(false);
    setWindowTitle("Pendra - Atlante statistico territoriale");
    // Fill the screen also where no window manager applies the maximized state.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    else
        resize(1024, 720);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_bar = new QMenuBar(this);
    layout->setMenuBar(m_bar);
    m_area = new PictureMdiArea(this);
    m_area->setBackground(palette().button());
    layout->addWidget(m_area);
    m_menu = new MainMenu(m_bar, this, this);
    forms::FormRegistry::setMdiArea(m_area);
}

frmMainMDI::~frmMainMDI()
{
    if (forms::FormRegistry::mdiArea() == m_area)
        forms::FormRegistry::setMdiArea(nullptr);
}

void frmMainMDI::setPicture(const QPixmap &picture)
{
    forms::Form::setPicture(picture);
    static_cast<PictureMdiArea *>(m_area)->setPicture(picture);
}

void frmMainMDI::formLoad()
{
    try {
        runStartup(*this);
    } catch (const ProgramEnded &) {
        m_startupEnded = true;
    }
}

void frmMainMDI::formUnload()
{
    m_inChiusura = true;
    for (forms::Form *f : forms::FormRegistry::loadedForms())
        if (f != this)
            forms::FormRegistry::unload(f);
    releaseInstanceLock();
}

void frmMainMDI::changeEvent(QEvent *event)
{
    forms::Form::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || m_inChiusura)
        return;
    // A normal-sized main window is maximized again; minimizing is left alone.
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        QMetaObject::invokeMethod(this, [this] {
            if (!m_inChiusura && !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
                showMaximized();
        }, Qt::QueuedConnection);
}

}  // namespace pendra
