// Base of every window of the program: a name, load/activate/unload handlers, twips geometry, picture.
#pragma once

#include "OleColor.h"

#include <QPixmap>
#include <QWidget>

class QMdiSubWindow;

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
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    friend class FormRegistry;
    QPixmap m_picture;
    bool m_mdiChild = true;
    bool m_loaded = false;
    bool m_unloading = false;
};

}  // namespace forms
