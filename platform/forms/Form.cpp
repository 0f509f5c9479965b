// Window base: geometry in twips, background picture, close as unload.
#include "Form.h"

#include "FormRegistry.h"
#include "ReadingOrder.h"
#include "Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <cmath>

namespace forms {

namespace {
Form::HelpHandler &helpHandler()
{
    static Form::HelpHandler handler;
    return handler;
}

bool pressable(const QAbstractButton *b)
{
    return b && b->isVisible() && b->isEnabled();
}
}  // namespace

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

namespace {
// Ctrl+Tab belongs to the MDI area (it cycles the work windows): Ctrl+PgDown/PgUp turn a tab
// widget's pages from anywhere inside it.
void addTabPageKeys(QWidget *window)
{
    for (QTabWidget *tabs : window->findChildren<QTabWidget *>()) {
        for (const auto &[key, step] : {std::pair{Qt::Key_PageDown, 1}, std::pair{Qt::Key_PageUp, -1}}) {
            auto *shortcut = new QShortcut(QKeySequence(Qt::CTRL | key), tabs);
            shortcut->setContext(Qt::WidgetWithChildrenShortcut);
            QObject::connect(shortcut, &QShortcut::activated, tabs, [tabs, step = step] {
                if (tabs->count() > 1)
                    tabs->setCurrentIndex((tabs->currentIndex() + step + tabs->count()) % tabs->count());
            });
        }
    }
}
}  // namespace

void Form::setHelpContextId(qint32 contextId)
{
    m_helpContextId = contextId;
    if (!m_helpKey) {
        m_helpKey = new QShortcut(QKeySequence(Qt::Key_F1), this);
        m_helpKey->setContext(Qt::WidgetWithChildrenShortcut);
        connect(m_helpKey, &QShortcut::activated, this, &Form::requestHelp);
    }
    m_helpKey->setEnabled(contextId != 0);
}

void Form::setHelpHandler(HelpHandler handler)
{
    helpHandler() = std::move(handler);
}

void Form::requestHelp()
{
    if (m_helpContextId != 0 && helpHandler())
        helpHandler()(*this, m_helpContextId);
}

void Form::setDefaultButton(QAbstractButton *button, QWidget *scope)
{
    m_defaultButtons.append({button, scope});
    if (auto *push = qobject_cast<QPushButton *>(button); push && !scope)
        push->setDefault(true);
}

void Form::setCancelButton(QAbstractButton *button)
{
    m_cancelButton = button;
}

QAbstractButton *Form::defaultButtonForFocus() const
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus || !isAncestorOf(focus))
        focus = nullptr;
    if (auto *push = qobject_cast<QPushButton *>(focus); pressable(push))
        return push;
    // The innermost scope that holds the focus wins over the window's own default.
    QAbstractButton *best = nullptr;
    int bestDepth = -1;
    for (const DefaultButton &d : m_defaultButtons) {
        if (!pressable(d.button))
            continue;
        int depth = 0;
        if (d.scope) {
            if (!focus || (focus != d.scope && !d.scope->isAncestorOf(focus)))
                continue;
            for (const QWidget *w = d.scope; w && w != this; w = w->parentWidget())
                ++depth;
        }
        if (depth > bestDepth) {
            best = d.button;
            bestDepth = depth;
        }
    }
    return best;
}

void Form::keyPressEvent(QKeyEvent *event)
{
    const bool plain = !(event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier));
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        if (QAbstractButton *b = defaultButtonForFocus()) {
            b->click();
            return;
        }
    } else if (plain && event->key() == Qt::Key_Escape && pressable(m_cancelButton)) {
        m_cancelButton->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Form::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    addTabPageKeys(this);
    const QList<QWidget *> order = setReadingTabOrder(this);
    QWidget *focus = QApplication::focusWidget();
    if (focus && isAncestorOf(focus))
        return;
    QWidget *first = firstTypedField(order);
    if (!first) {
        for (const DefaultButton &d : m_defaultButtons)
            if (!d.scope && pressable(d.button)) {
                first = d.button;
                break;
            }
    }
    if (first)
        first->setFocus(Qt::TabFocusReason);
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
