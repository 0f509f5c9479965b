// The main window: menu bar built at start-up, MDI work area with the background picture, kept maximized.
#pragma once

#include "MainMenu.h"

#include "forms/Form.h"

#include <QMdiArea>
#include <QMenuBar>

namespace pendra {

// Its load handler runs the whole start-up (Startup.h). Closing it ends the program: the other
// windows are unloaded with it.
class frmMainMDI : public forms::Form {
    Q_OBJECT
public:
    frmMainMDI();
    ~frmMainMDI() override;

    QMdiArea *mdiArea() const { return m_area; }
    QMenuBar *menuBar() const { return m_bar; }
    MainMenu &menu() { return *m_menu; }

    // The picture is also the background of the work area, stretched over all of it.
    void setPicture(const QPixmap &picture) override;

    bool inChiusura() const { return m_inChiusura; }
    void setInChiusura(bool closing) { m_inChiusura = closing; }
    // True when a start-up check ended the program (only seen when the end hook returns).
    bool startupEnded() const { return m_startupEnded; }

protected:
    void formLoad() override;
    void formUnload() override;
    void changeEvent(QEvent *event) override;

private:
    QMenuBar *m_bar;
    QMdiArea *m_area;
    MainMenu *m_menu;
    bool m_inChiusura = false;
    bool m_startupEnded = false;
};

}  // namespace pendra
