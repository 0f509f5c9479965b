// The metadata tests' folder, state and capture of reports.
#include "MetadataTestSupport.h"

#include "AppOnFolder.h"

#include "Report.h"
#include "app/core/AppState.h"
#include "app/core/Program.h"

#include "forms/FormRegistry.h"
#include "forms/Printers.h"
#include "jet/Connection.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace metadatatest {

fixtures::ProgramFolder *MetadataTest::folder = nullptr;

void MetadataTest::SetUpTestSuite()
{
    atlas::Options options;
    options.size = atlas::Options::Size::Small;
    folder = new fixtures::ProgramFolder(options);
}

void MetadataTest::TearDownTestSuite()
{
    delete folder;
    folder = nullptr;
}

void MetadataTest::SetUp()
{
    pendra::resetAppState();
    fixtures::useProgramFolder(*folder);
    pendra::setProgramFolder(folder->path());
    QFile::remove(folder->files() + "Error.log");
    m_installed = std::make_unique<forms::ScopedDialogs>(dialogs);
    forms::setHasPrinter(false);
    pendra::setReportViewer([this](pendra::Report &report, QWidget *) {
        shown << report.caption();
        lastPdf = pdfText(report);
    });
}

void MetadataTest::TearDown()
{
    execMetadati(m_undo);
    forms::FormRegistry::unloadAll();
    pendra::setReportViewer(nullptr);
    forms::setHasPrinter(std::nullopt);
    pendra::setProgramFolder(QString());
    m_installed.reset();
    pendra::resetAppState();
}

void MetadataTest::execMetadati(const QStringList &statements)
{
    if (statements.isEmpty())
        return;
    jet::Connection connection;
    connection.open(folder->odbc("Metadati.mdb"));
    for (const QString &sql : statements)
        connection.execute(sql);
}

void MetadataTest::changeMetadati(const QStringList &statements, const QStringList &undo)
{
    m_undo = undo + m_undo;
    execMetadati(statements);
}

QStringList MetadataTest::logLines() const
{
    QFile f(folder->files() + "Error.log");
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
}

QString MetadataTest::pdfText(const pendra::Report &report)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("report.pdf");
    if (!report.printToPdf(pdf))
        return QString();
    return pdfFileText(pdf);
}

QString pdfFileText(const QString &pdf)
{
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    p.waitForFinished(20000);
    // Ligatures ("ﬁ") come back as their letters.
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

::testing::AssertionResult inOrder(const QString &haystack, const QStringList &needles)
{
    qsizetype at = 0;
    for (const QString &n : needles) {
        const qsizetype found = haystack.indexOf(n, at);
        if (found < 0)
            return ::testing::AssertionFailure() << "\"" << n.toStdString() << "\" missing after position " << at
                                                 << " in:\n" << haystack.toStdString();
        at = found + n.size();
    }
    return ::testing::AssertionSuccess();
}

}  // namespace metadatatest
