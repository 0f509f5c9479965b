// Test support of the print layout.
#include "PrintFixture.h"

#include "app/core/AppState.h"
#include "app/core/Program.h"

#include "com/Registry.h"
#include "forms/FontFamilies.h"
#include "forms/FormRegistry.h"
#include "forms/Printers.h"
#include "mapkit/MapWidget.h"
#include "vb/Conversions.h"
#include "vb/Error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPicture>

namespace printtest {

namespace {

// One registry with the built library for the whole process.
class LibraryEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        com::setRegistryPath(m_dir.filePath(QStringLiteral("components.ini")));
        com::registerServer(QStringLiteral(PENDRA_DIR) + QStringLiteral("/libKVR_UTIL_prov.so"));
    }
    void TearDown() override { com::setRegistryPath(QString()); }

private:
    QTemporaryDir m_dir;
};

[[maybe_unused]] ::testing::Environment *const environment =
    ::testing::AddGlobalTestEnvironment(new LibraryEnvironment);

}  // namespace

QSize FixtureSource::exportSnapshot(const QString &path)
{
    snapshotPath = path;
    if (failSnapshot)
        throw vb::Error(-2147467259, QStringLiteral("Esportazione della mappa non riuscita"));
    if (!view.isEmpty()) {
        mapkit::MapWidget map;
        map.resize(view);
        map.setBackColor(forms::toOleColor(QColor(MapColour)));
        return map.exportPicture(path);
    }
    QPicture picture;
    QPainter painter(&picture);
    painter.setPen(Qt::darkGray);
    painter.drawRect(0, 0, 399, 299);
    painter.fillRect(100, 75, 200, 150, Qt::red);
    painter.end();
    picture.setBoundingRect(QRect(0, 0, 400, 300));
    if (!picture.save(path))
        throw vb::Error(75, QStringLiteral("Path/File access error"));
    // 400 x 300 pixels at 96 dpi in hundredths of a millimetre.
    return QSize(10583, 7938);
}

QStringList testFonts()
{
    QStringList fonts;
    for (int i = 0; i < 13; ++i)
        fonts << QStringLiteral("Carattere %1").arg(i, 2, 10, QLatin1Char('0'));
    fonts << QStringLiteral("DejaVu Serif") << QStringLiteral("DejaVu Sans Mono") << QStringLiteral("DejaVu Sans")
          << QStringLiteral("Zeta");
    return fonts;  // unsorted on purpose: the list sorts itself
}

void PrintTest::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    pendra::resetAppState();
    vb::setUserLocale(QLocale(QLocale::Italian, QLocale::Italy));
    QDir(m_dir.path()).mkpath(QStringLiteral("program/Files"));
    pendra::setProgramFolder(m_dir.filePath(QStringLiteral("program")));
    pendra::app().FilesPath = m_dir.filePath(QStringLiteral("program/Files")) + QLatin1Char('/');
    m_installed = std::make_unique<forms::ScopedDialogs>(dialogs);
    forms::setFontFamilies(testFonts());
    forms::setHasPrinter(false);
}

void PrintTest::TearDown()
{
    forms::FormRegistry::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    forms::setFontFamilies(std::nullopt);
    forms::setHasPrinter(std::nullopt);
    m_installed.reset();
    pendra::setProgramFolder(QString());
    vb::resetUserLocale();
}

pendra::PrintMappa *PrintTest::open()
{
    pendra::ShowPrintMappa(source);
    window = forms::FormRegistry::find<pendra::PrintMappa>();
    return window;
}

QStringList PrintTest::logLines() const
{
    QFile log(pendra::app().FilesPath + QStringLiteral("Error.log"));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(log.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

QPointF PrintTest::at(double x, double y) const
{
    const pendra::PageScale s = window->previewScale();
    return QPointF(x * s.x, y * s.y);
}

}  // namespace printtest
