// The Jet SQL functions and operators, registered on every open database under private names.
#pragma once

struct sqlite3;

namespace jet {

class Session;

// Registers jet_format, jet_cdbl, jet_instr, jet_left and their siblings, the operator functions
// (jet_concat for &, jet_pow for ^, jet_div for /, jet_idiv for \, jet_mod for Mod, jet_like)
// and a NOCASE collation that folds letter case beyond ASCII. A function that fails records
// its runtime error on the session, so the statement reports that number.
void registerSqlFunctions(sqlite3 *db, Session *session);

}  // namespace jet
