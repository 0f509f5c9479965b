// Code list: every variable or indicator code, with the description, sub-area, area and yearly
// availability of the selected one.
#pragma once

#include "TextBox.h"

#include "forms/Form.h"
#include "jet/Connection.h"

#include <QVector>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace pendra {

class frmListaMetadati : public forms::Form {
    Q_OBJECT
public:
    frmListaMetadati();

    QComboBox *cmbVarInd;
    QListWidget *lst_CodVar;
    TextBox *txtDescrizione, *txtArgomento, *txtSettore;
    QVector<QLineEdit *> txtAnniDisp;
    QPushButton *cmdHelp, *cmdChiudi;

    void cmbVarInd_Click();  // lists the codes of the kind (one statement)
    void lst_CodVar_Click();  // shows the selected code (one statement)

protected:
    void formLoad() override;
    void formActivate() override;
    void formUnload() override;

private:
    jet::Connection m_connection;
};

}  // namespace pendra
