// The area tree of the query window without its widget: areas, sub-areas, codes and their years.
#pragma once

#include <QString>

namespace jet {
class Connection;
}
namespace tree {
class TreeModel;
class TreeNode;
}

namespace pendra {

// Names formed from the kind ("Variabili" or "Indicatori"): MetadatiVariabili, IdVariabile,
// DescVariabile (the stem is the kind without its last letter).
QString metadataTable(const QString &kind);
QString idColumn(const QString &kind);
QString descColumn(const QString &kind);

// Fills the tree with the areas, sub-areas and codes of the kind at the level liv, read on the
// connection. Failures (a closed connection, a code under two sub-areas) are logged under
// "fillsons", "Utility" and end the fill; the nodes added so far stay. False after a failure.
bool fillsons(const jet::Connection &connection, tree::TreeModel &nodes, const QString &kind,
              const QString &liv);

// Adds the years of the code node at the level liv in ascending order, keyed "<code>-<year>";
// a variable year with a note gets the pictures "closeR"/"openR". Expands the node when it got
// children. Throws vb::Error.
void CaricaAnni(const jet::Connection &connection, tree::TreeModel &nodes, tree::TreeNode *codeNode,
                const QString &kind, const QString &liv);

// The query of the note of a year node (its parent is the code node).
QString noteQuery(const QString &kind, const tree::TreeNode *yearNode);

// True for a year picture that marks a note.
bool hasNotePicture(const tree::TreeNode *node);

}  // namespace pendra
