// Glossary: terms by letter, by a contained or leading text, by area or all; a term's definition
// and its printed report.
#pragma once

#include "TextBox.h"

#include "forms/Form.h"
#include "jet/Connection.h"

#include <array>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace pendra {

class frm_Glossario : public forms::Form {
    Q_OBJECT
public:
    frm_Glossario();

    std::array<QRadioButton *, 5> Option1;
    std::array<QLineEdit *, 2> txt_ricerca;
    QPushButton *cmd_ricerca;
    QComboBox *cmb_alfabeto, *cmbSettore, *cmbIdSettore;
    QListWidget *lst_NameVar;
    TextBox *txt_desc;
    QPushButton *Cmd_print, *cmdHelp, *cmdChiudi;

    void Option1_Click(int index);   // the enabled states of the mode, then both boxes emptied
    void cmd_ricerca_Click();        // mode from the boxes: contains (0), begins with (1), else nothing
    void cmb_alfabeto_Click();       // terms beginning with the letter
    void cmbSettore_Click();         // terms of the area
    void lst_NameVar_Click();        // the definition of the selected term
    void Cmd_print_Click();          // the report of the selected term

    QStringList terms() const;  // the listed terms, in order

protected:
    void formLoad() override;
    void formActivate() override;
    void formUnload() override;

private:
    void listTerms(const QString &sql);

    jet::Connection m_connection;
};

}  // namespace pendra
