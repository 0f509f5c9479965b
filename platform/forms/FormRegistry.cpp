// Instance table keyed by window class, MDI placement and modal showing.
#include "FormRegistry.h"

#include "TitleRoom.h"
#include "WorkArea.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <map>
#include <typeindex>
#include <utility>

namespace forms {

namespace {
struct State {
    std::map<std::type_index, QPointer<Form>> forms;
    QPointer<QMdiArea> area;
    QMetaObject::Connection activation;
    int nestedLoops = 0;
    // Unloaded while a nested loop was open: deleted when the outermost one closes.
    QList<QPointer<QWidget>> unloadedInLoop;
};

State &state()
{
    static State s;
    return s;
}

void forget(Form *form)
{
    auto &forms = state().forms;
    for (auto it = forms.begin(); it != forms.end();) {
        if (it->second == form || it->second.isNull())
            it = forms.erase(it);
        else
            ++it;
    }
}
}  // namespace

void FormRegistry::setMdiArea(QMdiArea *area)
{
    State &s = state();
    QObject::disconnect(s.activation);
    s.area = area;
    if (area) {
        // Closing a work window brings forward the one used before it, not the oldest one.
        area->setActivationOrder(QMdiArea::ActivationHistoryOrder);
        s.activation = QObject::connect(area, &QMdiArea::subWindowActivated, area, [](QMdiSubWindow *sub) {
            if (!sub)
                return;
            if (auto *form = qobject_cast<Form *>(sub->widget()); form && form->m_loaded && !form->m_unloading)
                form->formActivate();
        });
    }
}

QMdiArea *FormRegistry::mdiArea()
{
    return state().area;
}

Form *FormRegistry::lookup(const std::type_info &type)
{
    auto &forms = state().forms;
    auto it = forms.find(std::type_index(type));
    if (it == forms.end())
        return nullptr;
    if (it->second.isNull()) {  // deleted behind our back (its parent went away)
        forms.erase(it);
        return nullptr;
    }
    return it->second;
}

void FormRegistry::add(const std::type_info &type, Form *form)
{
    QMdiArea *area = state().area;
    if (area && form->isMdiChild()) {
        const QSize design = form->size();  // the design size is the frame's
        QMdiSubWindow *sub = area->addSubWindow(form);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->resize(design);
    }
    state().forms[std::type_index(type)] = form;
    form->m_loaded = true;
    form->formLoad();
}

void FormRegistry::showForm(Form *form)
{
    if (!form->m_loaded)  // unloaded while it loaded (a handler that yielded)
        return;
    QWidget *frame = form->frame();
    const bool opening = !frame->isVisible();
    form->show();
    if (QMdiSubWindow *sub = form->subWindow()) {
        sub->show();
        sub->raise();
    } else {
        form->raise();
    }
    // A window that grew while it loaded still opens inside the work area; one the user moved stays.
    if (opening)
        fitInWorkArea(frame);
    form->activate();
}

void FormRegistry::showModal(Form *form, QWidget *owner)
{
    // A window that unloaded itself while it loaded will never signal again: there is nothing to wait for.
    QPointer<Form> guard(form);
    if (!guard || !form->m_loaded)
        return;
    form->setParent(owner, Qt::Dialog);
    // Modal over its owner's window only: the help window, a separate top-level window, stays usable
    // while the dialog waits (its Help button and F1 open it).
    form->setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    makeRoomForTitle(*form);
    QEventLoop loop;
    QObject::connect(form, &Form::unloaded, &loop, &QEventLoop::quit);
    NestedLoop nested;
    form->show();
    // Shown first, so the dialog stands where the platform centres it, then moved no more than it must.
    if (guard && form->m_loaded)
        fitInWorkArea(form);
    if (guard && form->m_loaded)  // showing may run handlers that unload it
        loop.exec();
}

void FormRegistry::unload(Form *form)
{
    if (!form || !form->m_loaded || form->m_unloading)
        return;
    form->m_unloading = true;
    form->formUnload();
    forget(form);
    form->m_loaded = false;
    emit form->unloaded();
    QWidget *frame = form->subWindow() ? static_cast<QWidget *>(form->subWindow()) : form;
    // The registry deletes the frame itself: a subwindow closed by the user must not delete itself
    // on its own close (WA_DeleteOnClose) while a handler's loop still runs.
    frame->setAttribute(Qt::WA_DeleteOnClose, false);
    frame->hide();
    // deleteLater alone is not enough: a nested loop (the box a handler of this window still waits
    // on) would delete the window before that handler returns into it.
    if (state().nestedLoops > 0)
        state().unloadedInLoop.append(frame);
    else
        frame->deleteLater();
}

NestedLoop::NestedLoop()
{
    ++state().nestedLoops;
}

NestedLoop::~NestedLoop()
{
    State &s = state();
    if (--s.nestedLoops > 0)
        return;
    // Posted from the outermost handler: Qt runs these once that handler has returned to its loop.
    const QList<QPointer<QWidget>> frames = std::exchange(s.unloadedInLoop, {});
    for (const QPointer<QWidget> &frame : frames)
        if (frame)
            frame->deleteLater();
}

bool NestedLoop::isOpen()
{
    return state().nestedLoops > 0;
}

void yieldToEvents()
{
    NestedLoop loop;
    QCoreApplication::processEvents();
}

void FormRegistry::unloadAll()
{
    for (Form *f : loadedForms())
        unload(f);
}

QList<Form *> FormRegistry::loadedForms()
{
    QList<Form *> out;
    for (auto &[type, f] : state().forms)
        if (!f.isNull())
            out << f.data();
    return out;
}

}  // namespace forms
