// The note window: a fixed picture and an "Ok" button, shown modally.
#pragma once

#include "forms/Form.h"

#include <QLabel>
#include <QPushButton>

namespace pendra {

class frmNota : public forms::Form {
    Q_OBJECT
public:
    frmNota();

    QLabel *Picture1() const { return m_picture1; }
    QPushButton *Command1() const { return m_command1; }
    void Command1_Click();  // closes the window

private:
    QLabel *m_picture1;
    QPushButton *m_command1;
};

}  // namespace pendra
