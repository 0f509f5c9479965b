// regcomp: registers a component library ("regcomp lib.so") or unregisters it ("regcomp /u lib.so").
#include "com/Registry.h"
#include "vb/Error.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    bool unregister = false;
    if (!args.isEmpty() && (args.first() == QLatin1String("/u") || args.first() == QLatin1String("-u"))) {
        unregister = true;
        args.removeFirst();
    }
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: regcomp [/u] <library.so>\n");
        return 2;
    }
    try {
        if (unregister)
            com::unregisterServer(args.first());
        else
            com::registerServer(args.first());
    } catch (const vb::Error &e) {
        std::fprintf(stderr, "regcomp: %s (error %d)\n", e.description().toLocal8Bit().constData(),
                     e.number());
        return 1;
    }
    std::printf("%s %s in %s\n", unregister ? "Unregistered" : "Registered",
                args.first().toLocal8Bit().constData(), com::registryPath().toLocal8Bit().constData());
    return 0;
}
