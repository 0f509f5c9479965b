// Test support of the data table window: one fixture program folder with known values and a test
// base that isolates the shared state and the dialogs and opens the window on a data query.
#pragma once

#include "forms/ScriptedDialogService.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

namespace pendra {
class frm_dispData;
}
namespace grid {
class FlexGridModel;
}

namespace tabletest {

// The data query as the query window builds it: AS013 of 2005 and 2006 and AS014 of 2005 for five
// provinces (Torino, Cuneo, Aosta, Bolzano, Trento).
QString dataQuery();

class TableWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Loads the window (which runs app().SqlQuery).
    pendra::frm_dispData *open();
    grid::FlexGridModel &grid();
    QStringList column(int c) const;  // every cell of a column, header first
    QStringList logLines() const;

    forms::ScriptedDialogService dialogs;
    pendra::frm_dispData *window = nullptr;

private:
    std::unique_ptr<forms::ScopedDialogs> m_installed;
};

}  // namespace tabletest
