// Scratch configuration folders for the layer tests.
#include "MapsTestSupport.h"

#include "app/core/AppState.h"
#include "app/maps/ShapeConfig.h"
#include "vb/Conversions.h"

#include <QDir>
#include <QFile>

namespace mapstest {

void LayersTest::SetUp()
{
    QDir().mkpath(files());
    QDir().mkpath(shapes());
    for (const char *set : {"province107", "regioni", "italia"})
        for (const char *ext : {".shp", ".shx", ".dbf"})
            QFile::copy(QStringLiteral(SAMPLE_SHAPES) + set + ext, shapes() + set + ext);
    m_installed = std::make_unique<forms::ScopedDialogs>(dialogs);
    m_savedFiles = pendra::app().FilesPath;
    pendra::app().FilesPath = files();
    map.resize(640, 400);
}

void LayersTest::TearDown()
{
    pendra::app().FilesPath = m_savedFiles;
    vb::resetUserLocale();
    m_installed.reset();
}

void LayersTest::writeConfig(const QVector<CaseChild> &children, const QVector<ShapeEntry> &entries,
                             const QString &mapBackColor)
{
    auto attr = [](const char *name, const char *value) {
        return value ? QStringLiteral(" %1=\"%2\"").arg(QString::fromLatin1(name), QString::fromUtf8(value)) : QString();
    };
    QString xml = "<?xml version=\"1.0\"?>\n<Configs>\n  <LoadOrder>\n    <Case name=\"provincia107\" mapBackColor=\""
                  + mapBackColor + "\">\n";
    for (const CaseChild &c : children)
        xml += "      <Layer" + attr("Outline", c.outline) + attr("OutlineColor", c.outlineColor)
               + attr("BackColor", c.backColor) + attr("Trasparenza", c.transparent) + ">" + c.key + "</Layer>\n";
    xml += "    </Case>\n  </LoadOrder>\n  <Shapes>\n";
    for (const ShapeEntry &s : entries)
        xml += "    <Shape name=\"" + s.key + "\">\n      <FileName>" + s.fileName + "</FileName>\n      <GeoName>geo_"
               + s.key + "</GeoName>\n      <FieldId>COD_PROV</FieldId>\n      <LandFields>DES_PROV</LandFields>\n"
               "      <LandMatch>PROV</LandMatch>\n      <Label" + attr("useToMatch", s.useToMatch)
               + ">DES_PROV</Label>\n    </Shape>\n";
    xml += "  </Shapes>\n</Configs>\n";
    writeRaw(xml.toUtf8());
}

void LayersTest::writeRaw(const QByteArray &bytes)
{
    QFile f(files() + "ShapeConfig.xml");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray LayersTest::configBytes() const
{
    QFile f(files() + "ShapeConfig.xml");
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void LayersTest::load()
{
    pendra::LoadLayers(map, layers, matchIndex, files(), shapes(), "Provincia107");
}

QStringList LayersTest::logLines() const
{
    QFile f(files() + "Error.log");
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
}

}  // namespace mapstest
