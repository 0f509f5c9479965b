// Hand check under a real display: opens the print layout on a drawn stand-in map; not a ctest case.
// Usage: print_driver <program folder with libKVR_UTIL_prov.so registered>
#include "app/core/AppState.h"
#include "app/core/Program.h"
#include "app/maps/PrintMappa.h"

#include "forms/FormRegistry.h"

#include <QApplication>
#include <QPainter>
#include <QPicture>

namespace {

// A map of six coloured provinces, as the map kit's snapshot would show it.
class DrawnMap : public pendra::MapLayoutSource {
public:
    QSize exportSnapshot(const QString &path) override
    {
        QPicture picture;
        QPainter p(&picture);
        const QColor colours[] = {QColor(255, 255, 178), QColor(254, 204, 92), QColor(253, 141, 60),
                                  QColor(240, 59, 32), QColor(189, 0, 38), Qt::white};
        for (int i = 0; i < 6; ++i) {
            p.setBrush(colours[i]);
            p.setPen(Qt::black);
            p.drawPolygon(QPolygon({QPoint(40 + (i % 3) * 110, 30 + (i / 3) * 140), QPoint(140 + (i % 3) * 110, 40 + (i / 3) * 140),
                                    QPoint(130 + (i % 3) * 110, 150 + (i / 3) * 140), QPoint(50 + (i % 3) * 110, 160 + (i / 3) * 140)}));
        }
        p.end();
        picture.setBoundingRect(QRect(0, 0, 400, 320));
        picture.save(path);
        return QSize(400 * 2540 / 96, 320 * 2540 / 96);
    }
    QVector<pendra::MapClassRow> classRows() override
    {
        return {{0xB2FFFF, "0,00 - 12,40"}, {0x5CCCFE, "12,40 - 18,90"}, {0x3C8DFD, "18,90 - 25,10"},
                {0x203BF0, "25,10 - 31,00"}, {0x2600BD, "31,00 - 44,70"}, {0xFFFFFF, "Dato non presente"}};
    }
    QString description() override { return QStringLiteral("Tasso di occupazione (%) - Forlì e province vicine, 2001"); }
};

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc > 1)
        pendra::setProgramFolder(QString::fromLocal8Bit(argv[1]));
    pendra::app().FilesPath = pendra::programFolder() + QStringLiteral("/Files/");
    DrawnMap map;
    pendra::ShowPrintMappa(map);
    auto *window = forms::FormRegistry::find<pendra::PrintMappa>();
    if (!window)
        return 1;
    QObject::connect(window, &QObject::destroyed, &app, &QApplication::quit);
    return app.exec();
}
