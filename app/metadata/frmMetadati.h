// Metadata browser: a data database chosen by position, and its tree of areas, sub-areas and the
// codes that have data; a leaf opens its sheet.
#pragma once

#include "forms/Form.h"
#include "tree/ImageList.h"

class QComboBox;
class QPushButton;

namespace jet {
class Connection;
}
namespace tree {
class TreeModel;
class TreeNode;
class TreeView;
}

namespace pendra {

// Fills the tree for the current Kind with one statement. Failures are logged (fillsonsAll,
// "Utility"); the nodes added so far stay.
void fillsonsAll(const jet::Connection &connection, tree::TreeModel &tree);

class frmMetadati : public forms::Form {
    Q_OBJECT
public:
    frmMetadati();

    QComboBox *cmb_Databases;
    QComboBox *cmb_DatabasesN;  // hidden, parallel
    tree::TreeView *objtree;
    QPushButton *cmdHelp, *cmdChiudi;

    // Database choice by position: 0 "Variabili", any other "Indicatori"; refills the tree.
    void cmb_Databases_Click();
    // Node click: folds the others; a leaf opens the sheet of the kind the tree shows, whatever
    // menu item or window changed the shared Kind since.
    void objtree_NodeClick(tree::TreeNode *node);

protected:
    void formLoad() override;
    void formActivate() override;

private:
    tree::ImageList m_images;
    QString m_kind;  // the kind the tree was filled for
};

}  // namespace pendra
