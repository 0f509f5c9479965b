// Base of every window of the program: a name, load/activate/unload handlers, twips geometry, picture.
#pragma once

#include "OleColor.h"

#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <functional>

class QAbstractButton;
class QMdiSubWindow;
class QShortcut;

namespace forms {

// A window is created and loaded by FormRegistry the first time it is named (a work window is
// placed in its MDI subwindow before it loads, so geometry set while loading is the frame's), and
// destroyed when it is unloaded (by code or by the user closing it). Handlers that fail report their own errors;
// an exception leaving formLoad reaches whoever named the window.
class Form : public QWidget {
    Q_OBJECT
public:
    explicit Form(const QString &name, QWidget *parent = nullptr);
    ~Form() override;

    QString name() const { return objectName(); }

    // Work windows (the default) open inside the MDI area; dialogs and the main window do not.
    bool isMdiChild() const { return m_mdiChild; }
    void setMdiChild(bool mdiChild) { m_mdiChild = mdiChild; }

    // The frame that the user moves: the MDI subwindow of a work window, else the form itself.
    QWidget *frame() const;
    QMdiSubWindow *subWindow() const;

    // Geometry of the frame in twips (15 to a pixel). Setting rounds to whole pixels.
    double leftTwips() const;
    double topTwips() const;
    double widthTwips() const;
    double heightTwips() const;
    void moveTwips(double left, double top);
    void resizeTwips(double width, double height);

    // The window's picture, drawn unscaled at the top-left corner of the client area; a null
    // pixmap clears it.
    virtual void setPicture(const QPixmap &picture);
    const QPixmap &picture() const { return m_picture; }
    void setBackColor(OleColor color);

    // The window's help topic; 0: none. F1 anywhere in a window with one calls the help handler.
    qint32 helpContextId() const { return m_helpContextId; }
    void setHelpContextId(qint32 contextId);
    // What F1 does, for every window (the program opens its help file at the id); none: nothing.
    using HelpHandler = std::function<void(Form &window, qint32 contextId)>;
    static void setHelpHandler(HelpHandler handler);
    // What F1 does in this window (the shortcut and tests): the handler with the window's id.
    void requestHelp();

    // Return presses the focused push button, else the default button of the innermost scope
    // holding the focus (scope null: the whole window); Esc presses the cancel button. A hidden or
    // disabled button is not pressed. Keys a field uses itself (Return in a multi-line text) stay its own.
    void setDefaultButton(QAbstractButton *button, QWidget *scope = nullptr);
    void setCancelButton(QAbstractButton *button);

    bool isLoaded() const { return m_loaded; }
    void unload();  // same as FormRegistry::unload(this)
    // Makes it the active window (the active subwindow in the MDI area).
    void activate();

signals:
    void unloaded();

protected:
    virtual void formLoad() {}
    virtual void formActivate() {}
    virtual void formUnload() {}

    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    // The first time the window shows, Tab is set to follow its reading order and, unless a field
    // of the window already has the focus, the first field a user types into (else the default
    // button) takes it.
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    friend class FormRegistry;
    struct DefaultButton {
        QPointer<QAbstractButton> button;
        QPointer<QWidget> scope;  // null: the window
    };
    QAbstractButton *defaultButtonForFocus() const;

    QPixmap m_picture;
    qint32 m_helpContextId = 0;
    QShortcut *m_helpKey = nullptr;
    QList<DefaultButton> m_defaultButtons;
    QPointer<QAbstractButton> m_cancelButton;
    bool m_mdiChild = true;
    bool m_loaded = false;
    bool m_shownOnce = false;
    bool m_unloading = false;
};

}  // namespace forms
