// sample-atlas FOLDER: fills a program folder with the full sample atlas (the build runs it).
#include "AtlasBuilder.h"

#include "vb/Error.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char **argv) {
    // The pictures need fonts, so a GUI application, but never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: sample-atlas PROGRAM_FOLDER\n");
        return 2;
    }
    QElapsedTimer timer;
    timer.start();
    try {
        atlas::Options options;
        options.size = atlas::Options::Size::Full;
        atlas::buildProgramFolder(args[1], options);
    } catch (const vb::Error &e) {
        std::fprintf(stderr, "sample-atlas: error %d: %s\n", int(e.number()), qPrintable(e.description()));
        return 1;
    }
    std::printf("sample-atlas: %s filled in %lld ms\n", qPrintable(args[1]), timer.elapsed());
    return 0;
}
