// bench_startup: wall time from exec to the main window mapped on the X display, for the program
// (the Pendra binary in its program folder, the sample atlas and its municipal copy) beside a bare
// Qt binary with a menu bar and an MDI area, launched the same way and in turn. A second ratio sets
// the program beside that floor plus the one key derivation it cannot avoid (opening
// "Metadati.mdb" with its password): the limit start-up can approach. Needs an X server (the
// script starts Xvfb).
#include "BenchFolders.h"

#include "app/core/AppState.h"
#include "com/Registry.h"
#include "jet/KeyCache.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <poll.h>

namespace {

// Watches the root window of the display for top-level windows being mapped.
class MapWatch {
public:
    MapWatch()
    {
        m_c = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_c))
            return;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_c, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_c);
        m_ok = true;
    }
    ~MapWatch() { xcb_disconnect(m_c); }
    bool ok() const { return m_ok; }

    void drain()
    {
        while (xcb_generic_event_t *e = xcb_poll_for_event(m_c))
            std::free(e);
    }

    // True when a managed top-level window was mapped within `timeoutMs`.
    bool waitForMap(int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            while (xcb_generic_event_t *e = xcb_poll_for_event(m_c)) {
                bool mapped = false;
                if ((e->response_type & 0x7f) == XCB_MAP_NOTIFY) {
                    const auto *m = reinterpret_cast<xcb_map_notify_event_t *>(e);
                    mapped = m->event == m_root && !m->override_redirect;
                }
                std::free(e);
                if (mapped)
                    return true;
            }
            pollfd fd{xcb_get_file_descriptor(m_c), POLLIN, 0};
            ::poll(&fd, 1, 50);
        }
        return false;
    }

private:
    xcb_connection_t *m_c = nullptr;
    xcb_window_t m_root = 0;
    bool m_ok = false;
};

// Milliseconds from exec to the mapped main window; negative when it did not appear.
double launch(MapWatch &watch, const QString &program, const QProcessEnvironment &env)
{
    watch.drain();
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    QElapsedTimer clock;
    clock.start();
    child.start(program, {});
    const bool mapped = watch.waitForMap(30000);
    const double ms = clock.nsecsElapsed() / 1e6;
    child.kill();
    child.waitForFinished();
    if (!mapped)
        std::fprintf(stderr, "no window mapped: %s\n", qPrintable(program));
    return mapped ? ms : -1;
}

double median(QVector<double> times)
{
    std::sort(times.begin(), times.end());
    return times.isEmpty() || times.first() < 0 ? -1 : times[times.size() / 2];
}

// The program runs from its own folder: the municipal copy gets a copy of the binary.
QString programIn(const QString &root)
{
    const QString built = QStringLiteral(PENDRA_DIR) + QStringLiteral("/Pendra");
    const QString target = root + QStringLiteral("Pendra");
    if (QFileInfo(target).canonicalFilePath() == QFileInfo(built).canonicalFilePath())
        return target;
    if (!QFileInfo::exists(target) || QFileInfo(target).lastModified() < QFileInfo(built).lastModified()) {
        QFile::remove(target);
        QFile::copy(built, target);
    }
    return target;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    MapWatch watch;
    if (!watch.ok()) {
        std::fprintf(stderr, "bench_startup needs an X display (scripts/bench.sh starts Xvfb)\n");
        return 2;
    }
    QTemporaryDir dir;
    com::setRegistryPath(dir.path() + "/components.ini");
    com::registerServer(QStringLiteral(KVR_UTIL_PROV_PATH));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("PENDRA_COMPONENT_REGISTRY", dir.path() + "/components.ini");
    env.insert("TMPDIR", dir.path());  // the instance lock of each run
    env.insert("LANG", "it_IT.UTF-8");
    const QString floorBinary = QCoreApplication::applicationDirPath() + "/bench_startup_floor";
    bench::Ratios ratios;
    bool ok = true;
    for (const bench::Folder &f : bench::folders()) {
        const QString program = programIn(f.root);
        QVector<double> floors, programs;
        for (int i = 0; i < std::max(f.runs, 7); ++i) {
            floors << launch(watch, floorBinary, env);
            programs << launch(watch, program, env);
        }
        QFile metadati(f.root + "Databases/Metadati.mdb");
        metadati.open(QIODevice::ReadOnly);
        const QByteArray salt = metadati.read(jet::KeyCache::SaltSize);
        const double key = bench::medianMs(5, [&] {
            jet::KeyCache::clear();  // a derivation, not a look-up
            jet::KeyCache::rawKey(pendra::DatabasePassword, salt);
        });
        const double floor = median(floors), run = median(programs);
        ok = ok && floor > 0 && run > 0;
        std::printf("start-up, %d territories: program %.1f ms, bare Qt %.1f ms, one key derivation %.1f ms\n",
                    f.territories, run, floor, key);
        ratios.add("startup", f.territories, run, floor);
        ratios.add("startup-keyed", f.territories, run, floor + key);
    }
    return ok ? 0 : 1;
}
