// municipal-atlas FOLDER [TERRITORIES]: the municipal copy of the sample atlas the benchmarks run on.
#include "MunicipalCopy.h"

#include "vb/Error.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2 || args.size() > 3) {
        std::fprintf(stderr, "usage: municipal-atlas PROGRAM_FOLDER [TERRITORIES]\n");
        return 2;
    }
    QElapsedTimer timer;
    timer.start();
    try {
        const int n = atlas::buildMunicipalFolder(args[1], args.size() == 3 ? args[2].toInt() : 8000);
        std::printf("municipal-atlas: %s filled with %d territories in %lld ms\n", qPrintable(args[1]), n,
                    timer.elapsed());
    } catch (const vb::Error &e) {
        std::fprintf(stderr, "municipal-atlas: error %d: %s\n", int(e.number()), qPrintable(e.description()));
        return 1;
    }
    return 0;
}
