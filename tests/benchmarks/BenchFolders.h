// What every benchmark of a user step shares: the two program folders it runs on (copies of the
// sample atlas and its municipal copy, never the program folder itself), a median timer, and the
// RATIO lines a script reads at the end.
#pragma once

#include "jet/Connection.h"
#include "jet/Recordset.h"
#include "vb/Memory.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QString>
#include <QVector>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace bench {

struct Folder {
    QString root;      // ends with "/"
    int territories = 0;
    int runs = 0;      // timed runs for a median
};

// The land_Ind rows of a program folder.
inline int territoryCount(const QString &root)
{
    jet::Connection cn;
    cn.open(QStringLiteral("Driver={Microsoft Access Driver (*.mdb)};Pwd=mirabella1994;Dbq= ") + root +
            QStringLiteral("Databases/Territorio.mdb"));
    jet::Recordset rs;
    rs.open(QStringLiteral("select count(*) from land_Ind"), cn);
    return int(rs.value(0).toDouble());
}

// The sample atlas of the build and the municipal copy (the bench_fixtures target makes it).
inline QVector<Folder> folders()
{
    vb::keepFreedMemory();  // as the program sets itself up
    QVector<Folder> out;
    for (const QString &dir : {QStringLiteral(SAMPLE_DIR), QStringLiteral(MUNICIPAL_DIR)}) {
        if (!QFileInfo::exists(dir + QStringLiteral("/Databases/Territorio.mdb"))) {
            std::fprintf(stderr, "missing program folder %s: build the target bench_fixtures\n", qPrintable(dir));
            std::exit(2);
        }
        Folder f;
        f.root = QDir(dir).absolutePath() + QLatin1Char('/');
        f.territories = territoryCount(f.root);
        f.runs = f.territories > 1000 ? 3 : 9;
        out.append(f);
    }
    return out;
}

// Median wall time in milliseconds of `runs` calls after one warm-up call.
template <class F> double medianMs(int runs, F &&step)
{
    step();
    QVector<double> times;
    for (int i = 0; i < std::max(runs, 1); ++i) {
        QElapsedTimer clock;
        clock.start();
        step();
        times.append(clock.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Pair {
    double program = 0, anchor = 0;
};

// Medians of a step and of its anchor timed in turn, one run of each after the other, so both
// meet the same load of a shared machine; one warm-up call of each first.
template <class P, class A> Pair interleavedMs(int runs, P &&program, A &&anchor)
{
    program();
    anchor();
    QVector<double> p, a;
    for (int i = 0; i < std::max(runs, 1); ++i) {
        QElapsedTimer clock;
        clock.start();
        anchor();
        a.append(clock.nsecsElapsed() / 1e6);
        clock.restart();
        program();
        p.append(clock.nsecsElapsed() / 1e6);
    }
    std::sort(p.begin(), p.end());
    std::sort(a.begin(), a.end());
    return {p[p.size() / 2], a[a.size() / 2]};
}

// Collects one measure beside its anchor, prints it at once and again, with the others, at the end.
class Ratios {
public:
    void add(const char *measure, int territories, const Pair &p) { add(measure, territories, p.program, p.anchor); }
    void add(const char *measure, int territories, double program, double anchor)
    {
        const QString line = QStringLiteral("RATIO %1 %2: %3 / %4 = %5")
                                 .arg(QLatin1String(measure))
                                 .arg(territories)
                                 .arg(program, 0, 'f', 1)
                                 .arg(anchor, 0, 'f', 1)
                                 .arg(anchor > 0 ? program / anchor : 0.0, 0, 'f', 2);
        std::printf("  %s\n", qPrintable(line));
        std::fflush(stdout);
        m_lines.append(line);
    }
    ~Ratios()
    {
        for (const QString &line : m_lines)
            std::printf("%s\n", qPrintable(line));
    }

private:
    QVector<QString> m_lines;
};

// The anchor of a step whose goal is a fixed time.
constexpr double FixedGoalMs = 100.0;

}  // namespace bench
