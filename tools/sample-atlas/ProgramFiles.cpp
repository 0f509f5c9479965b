// Texts in Italian as the program shows them; the layer configuration pairs each boundary set
// with an overlay drawn on top (region borders on provinces, the coastline on regions).
#include "ProgramFiles.h"

#include "XlsxWriter.h"

#include "vb/Error.h"
#include "vb/TextFile.h"

#include <QFile>
#include <QXmlStreamWriter>

namespace atlas {

namespace {

// Colours as the platform stores them: red in the low byte.
QString colour(int r, int g, int b) {
    return QString::number(r | (g << 8) | (b << 16));
}

struct LayerStyle {
    const char *shape;
    bool outline;
    QString outlineColor;
    QString backColor;
    bool transparent;
};

struct ShapeEntry {
    const char *key;       // also the file name, so a saved style finds its layer again
    const char *geoName;
    const char *fieldId;
    const char *landFields;
    const char *landMatch;
    const char *label;
    bool match;
};

const ShapeEntry kShapes[] = {
    {"regioni", "regioni", "COD_TERR", "DES_TERR", "COD_TERR", "DES_TERR", true},
    {"province103", "province103", "COD_PROV", "DES_PROV", "PROV", "DES_PROV", true},
    {"province107", "province107", "COD_PROV", "DES_PROV", "PROV", "DES_PROV", true},
    {"nuts2", "nuts2", "COD_TERR", "DES_TERR", "COD_TERR", "DES_TERR", true},
    {"confiniregionali", "confiniregionali", "COD_TERR", "DES_TERR", "COD_TERR", "DES_TERR", false},
    {"italia", "italia", "COD_TERR", "DES_TERR", "COD_TERR", "DES_TERR", false},
};

}  // namespace

void ProgramFiles::writeAll(const QString &files) const {
    writeAreaList(files + QStringLiteral("area.kvr"));
    writeStartText(files + QStringLiteral("InfoZup.txt"));
    writeShapeConfig(files + QStringLiteral("ShapeConfig.xml"));
    writeTemplate(files + QStringLiteral("DatiTemplateVar.xlsx"), false);
    writeTemplate(files + QStringLiteral("DatiTemplateInd.xlsx"), true);
}

void ProgramFiles::writeAreaList(const QString &path) const {
    // Items 0 and 1 joined name the saved area queries of a data database.
    QString text;
    int n = 0;
    for (const Area &a : m_catalogue.areas())
        text += QStringLiteral("Area;%1;%2;%3\r\n").arg(++n, 2, 10, QLatin1Char('0')).arg(a.id, a.description);
    vb::writeText(path, text);
}

void ProgramFiles::writeStartText(const QString &path) const {
    const QStringList lines = {
        QString::fromUtf8("Atlante statistico territoriale"),
        QString(),
        QString::fromUtf8("L'atlante raccoglie variabili e indicatori di fonte ufficiale per le regioni, le province "
                          "(livello NUTS3), le aree NUTS2, le ripartizioni geografiche e le aree dei fondi strutturali, "
                          "per gli anni dal %1 al %2.")
            .arg(m_catalogue.years().first())
            .arg(m_catalogue.years().last()),
        QString(),
        QString::fromUtf8("Dal menu «Dati» si scelgono i dati provinciali o regionali: nella finestra di interrogazione "
                          "si selezionano le coppie variabile-anno dall'albero delle aree e i territori, poi "
                          "«Visualizza Dati» mostra la tabella, che si può ordinare, esportare in un foglio di calcolo "
                          "e rappresentare come cartogramma."),
        QString::fromUtf8("Dal menu «Metadati» si consultano le schede delle variabili e degli indicatori, la loro "
                          "lista e il glossario dei termini statistici."),
        QString(),
        QString::fromUtf8("Fino al 2005 i dati provinciali si riferiscono alle 103 province allora esistenti; dal "
                          "2006 alle 107 province, con Olbia-Tempio, Ogliastra, Medio Campidano e Carbonia-Iglesias."),
        QString(),
        QString::fromUtf8("Fonti: ISTAT, Banca d'Italia, Ministero della Salute, Unioncamere, ACI, APAT, Terna."),
        QString::fromUtf8("La data dell'aggiornamento più recente è riportata nella finestra «Informazioni»."),
    };
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    vb::writeText(path, text);
}

void ProgramFiles::writeShapeConfig(const QString &path) const {
    const QString line = colour(110, 110, 110);
    const QString land = colour(236, 232, 214);
    const QString border = colour(60, 60, 60);
    const QString white = colour(255, 255, 255);
    const QString sea = colour(200, 228, 245);
    const struct {
        const char *name;
        LayerStyle layers[2];
    } cases[] = {
        {"regioni", {{"regioni", true, line, land, false}, {"italia", true, border, white, true}}},
        {"provincia103", {{"province103", true, line, land, false}, {"confiniregionali", true, border, white, true}}},
        {"provincia107", {{"province107", true, line, land, false}, {"confiniregionali", true, border, white, true}}},
        {"nuts2", {{"nuts2", true, line, land, false}, {"italia", true, border, white, true}}},
    };
    auto boolText = [](bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); };

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw vb::Error(75, QStringLiteral("Cannot write %1").arg(path), QStringLiteral("ProgramFiles"));
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("Configs"));
    xml.writeStartElement(QStringLiteral("LoadOrder"));
    for (const auto &c : cases) {
        xml.writeStartElement(QStringLiteral("Case"));
        xml.writeAttribute(QStringLiteral("name"), QString::fromLatin1(c.name));
        xml.writeAttribute(QStringLiteral("mapBackColor"), sea);
        for (const LayerStyle &l : c.layers) {
            xml.writeStartElement(QStringLiteral("Layer"));
            xml.writeAttribute(QStringLiteral("Outline"), boolText(l.outline));
            xml.writeAttribute(QStringLiteral("OutlineColor"), l.outlineColor);
            xml.writeAttribute(QStringLiteral("BackColor"), l.backColor);
            xml.writeAttribute(QStringLiteral("Trasparenza"), boolText(l.transparent));
            xml.writeCharacters(QString::fromLatin1(l.shape));
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("Shapes"));
    for (const ShapeEntry &s : kShapes) {
        xml.writeStartElement(QStringLiteral("Shape"));
        xml.writeAttribute(QStringLiteral("name"), QString::fromLatin1(s.key));
        xml.writeTextElement(QStringLiteral("FileName"), QString::fromLatin1(s.key));
        xml.writeTextElement(QStringLiteral("GeoName"), QString::fromLatin1(s.geoName));
        xml.writeTextElement(QStringLiteral("FieldId"), QString::fromLatin1(s.fieldId));
        xml.writeTextElement(QStringLiteral("LandFields"), QString::fromLatin1(s.landFields));
        xml.writeTextElement(QStringLiteral("LandMatch"), QString::fromLatin1(s.landMatch));
        xml.writeStartElement(QStringLiteral("Label"));
        xml.writeAttribute(QStringLiteral("useToMatch"), boolText(s.match));
        xml.writeCharacters(QString::fromLatin1(s.label));
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    if (xml.hasError() || !file.flush())
        throw vb::Error(75, QStringLiteral("Cannot write %1").arg(path), QStringLiteral("ProgramFiles"));
}

void ProgramFiles::writeTemplate(const QString &path, bool indicators) const {
    XlsxWriter book;
    book.addSheet(QStringLiteral("Dati"));
    book.addSheet(QStringLiteral("Metadati"));
    // "indicatori" is masculine, "variabili" feminine: the articles and the participle follow.
    const QString kind = indicators ? QStringLiteral("degli indicatori") : QStringLiteral("delle variabili");
    const QString each = indicators ? QStringLiteral("ciascuno degli indicatori esportati")
                                    : QStringLiteral("ciascuna delle variabili esportate");
    book.addSheet(QStringLiteral("Note"),
                  {{QString::fromUtf8("Atlante statistico territoriale - esportazione %1").arg(kind)},
                   {},
                   {QString::fromUtf8("Foglio «Dati»: la tabella dei dati come appare a video, con i territori "
                                      "ordinati per codice.")},
                   {QString::fromUtf8("Foglio «Metadati»: la scheda di %1.").arg(each)},
                   {QString::fromUtf8("Le celle vuote indicano dati non disponibili.")}});
    book.save(path);
}

}  // namespace atlas
