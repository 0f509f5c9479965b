// Test base of the metadata windows: one small sample atlas for the suite, the shared state
// pointed at it, scripted dialogs, no printer unless a test says so, reports captured.
#pragma once

#include "ProgramFolder.h"

#include "forms/ScriptedDialogService.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

namespace pendra {
class Report;
}

namespace metadatatest {

class MetadataTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    QStringList logLines() const;  // Files/Error.log
    // Runs statements on the suite's Metadati.mdb; undo runs when the test ends, so the next
    // test finds the sample as it was.
    void changeMetadati(const QStringList &statements, const QStringList &undo);
    // Renders the report to a PDF in the scratch folder and returns its text (pdftotext).
    QString pdfText(const pendra::Report &report);

    static fixtures::ProgramFolder *folder;
    forms::ScriptedDialogService dialogs;
    QStringList shown;  // captions of the reports shown, in order
    QString lastPdf;    // text of the last report shown (rendered when shown)

private:
    static void execMetadati(const QStringList &statements);

    std::unique_ptr<forms::ScopedDialogs> m_installed;
    QStringList m_undo;
};

// The text of a PDF file (pdftotext, laid out; pages end with a form feed).
QString pdfFileText(const QString &pdf);

// True when each text follows the one before it in the haystack.
::testing::AssertionResult inOrder(const QString &haystack, const QStringList &needles);

}  // namespace metadatatest
