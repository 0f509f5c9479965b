// What the atlas holds: areas, sub-areas, variables and indicators with their metadata, and the
// glossary. Plain data; ValueModel turns a code into numbers.
#pragma once

#include "AtlasBuilder.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace atlas {

constexpr int kFirstYear = 1996;
constexpr int kLastYear = 2008;

struct Area {
    QString id;           // Settore.idSettore, one letter
    QString description;  // [Descrizione Settore]
};

struct SubArea {
    QString code;         // [Codice argomento]
    QString description;  // [Desc argomento]
    QString area;
};

// What a variable's provincial value is proportional to.
enum class Scale { Population, Area, MountainArea };

// Which regional profile a variable follows across the country.
enum class Profile { Economy, Ageing, Tourism, None };

struct Source {
    QString body;         // Ente
    QString survey;       // Fonte
    QString publication;  // Pubblicazione (the year is appended)
};

struct VariableDef {
    QString code;                // two letters and three digits
    QString description;
    QString subArea;
    QString unit;
    QString period;              // PeriodoRif
    double perUnit = 0;          // value per resident (or per square kilometre)
    Scale scale = Scale::Population;
    Profile profile = Profile::None;
    double elasticity = 0;       // how strongly the regional profile moves the value
    double spread = 0;           // lasting difference between provinces (log standard deviation)
    double trend = 0;            // yearly growth
    double jitter = 0;           // year-to-year noise
    int decimals = 0;
    QVector<int> provincialYears;  // years with data at provincial level
    QVector<int> regionalYears;    // years with data at regional level
    Source source;
    QString seriesNote;          // NoteSerie
    QVector<QPair<int, QString>> yearNotes;  // Note_<year>
    bool small = false;          // part of the small fixture
};

struct IndicatorDef {
    QString code;                // I, two letters and three digits
    QString description;
    QString subArea;
    QString unit;
    QString numerator;           // variable code
    QString numeratorOther;      // optional second variable added to (or taken from) the numerator
    int otherSign = 0;           // +1 or -1 with numeratorOther
    QString denominator;         // optional
    double factor = 1;
    int decimals = 2;
    bool provincial = true;
    bool regional = false;
    QString valutazione;
    QString method;              // ModalitaCalcolo
    QString psm;
    QString bdvexa;
    QString destination;
    bool synthesis = false;      // UtilizzSintesi
    bool small = false;

    QStringList inputs() const;
};

struct GlossaryTerm {
    QString name;
    QString definition;
    QString area;
};

struct Valutazione {
    QString code;
    QString description;
};

// The catalogue, narrowed to the small fixture's codes when asked.
class Catalogue {
public:
    explicit Catalogue(Options::Size size);

    const QVector<Area> &areas() const { return m_areas; }
    const QVector<SubArea> &subAreas() const { return m_subAreas; }
    const QVector<VariableDef> &variables() const { return m_variables; }
    const QVector<IndicatorDef> &indicators() const { return m_indicators; }
    const QVector<GlossaryTerm> &glossary() const { return m_glossary; }
    const QVector<Valutazione> &valutazioni() const { return m_valutazioni; }
    const QVector<int> &years() const { return m_years; }

    const VariableDef *variable(const QString &code) const;
    const SubArea *subArea(const QString &code) const;
    // Years an indicator has at one level: those its inputs all cover.
    QVector<int> indicatorYears(const IndicatorDef &def, bool regional) const;

    // The boundary set a province map of the code and year is drawn on (and so the provinces
    // whose values are published): 103 until 2005 and 107 from 2006, with the exceptions of the
    // codes whose series moved to the new boundaries early or late.
    static bool onNewProvinces(const QString &code, int year);

private:
    QVector<Area> m_areas;
    QVector<SubArea> m_subAreas;
    QVector<VariableDef> m_variables;
    QVector<IndicatorDef> m_indicators;
    QVector<GlossaryTerm> m_glossary;
    QVector<Valutazione> m_valutazioni;
    QVector<int> m_years;
};

}  // namespace atlas
