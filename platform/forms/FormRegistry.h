// One instance per window class: created and loaded when first named, destroyed on unload.
#pragma once

#include "Form.h"

#include <QList>
#include <typeinfo>

class QMdiArea;

namespace forms {

// The registry holds no ownership beyond the Qt parent chain: a loaded form is a child of its
// MDI subwindow or its owner, or a top-level window; unloading deletes it later (deleteLater),
// so a handler may unload its own window.
class FormRegistry {
public:
    // Work windows open as subwindows of this area (the main window's); none: top-level windows.
    static void setMdiArea(QMdiArea *area);
    static QMdiArea *mdiArea();

    // The instance, created and loaded (formLoad) when it is not loaded yet.
    template <class T> static T *get()
    {
        if (T *f = find<T>())
            return f;
        T *f = new T;
        add(typeid(T), f);
        return f;
    }
    template <class T> static T *find() { return static_cast<T *>(lookup(typeid(T))); }  // null: not loaded
    template <class T> static bool isLoaded() { return lookup(typeid(T)) != nullptr; }
    // Loads when needed and shows modelessly, brought forward with its state; a window that opens
    // lies inside the work area (see fitInWorkArea).
    template <class T> static T *show()
    {
        T *f = get<T>();
        showForm(f);
        return f;
    }
    // Loads when needed and shows modally over the owner's window (over every window when there is no
    // owner), inside the work area; returns when the window is unloaded.
    template <class T> static void showModal(QWidget *owner)
    {
        showModal(get<T>(), owner);
    }
    template <class T> static void unload()
    {
        if (T *f = find<T>())
            unload(f);
    }

    static void showForm(Form *form);
    static void showModal(Form *form, QWidget *owner);
    // Runs formUnload, forgets the instance, hides it and deletes it later: once control is back
    // in the event loop, and never while a NestedLoop is open (see there). Unknown forms: nothing.
    static void unload(Form *form);
    static void unloadAll();
    static QList<Form *> loadedForms();

private:
    static Form *lookup(const std::type_info &type);
    static void add(const std::type_info &type, Form *form);
};

// Marks a nested event loop that a handler runs and waits on: a modal window, a dialog of the
// dialog service, a pop-up menu's exec, a yield to pending events. A window unloaded while one is
// open (the user closed it from the box of its own handler) is hidden at once but deleted only
// after the outermost one has closed, so that the handlers still on the stack below the loop
// return into a live window. Scopes nest; they belong to the GUI thread.
class NestedLoop {
public:
    NestedLoop();
    ~NestedLoop();
    NestedLoop(const NestedLoop &) = delete;
    NestedLoop &operator=(const NestedLoop &) = delete;
    // Whether one is open now.
    static bool isOpen();
};

// Lets pending window events run (a long loop's yield) inside a NestedLoop.
void yieldToEvents();

}  // namespace forms
