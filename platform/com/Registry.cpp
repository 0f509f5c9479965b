// The component registry file (INI, one section per class id) and loading of component libraries.
#include "Registry.h"

#include "vb/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

#include <dlfcn.h>
#include <mutex>

namespace com {

namespace {

constexpr char EnvVariable[] = "PENDRA_COMPONENT_REGISTRY";
constexpr qint32 PathFileAccessError = 75;

std::recursive_mutex &registryMutex()
{
    static std::recursive_mutex m;
    return m;
}

// Sections are named by the class id without braces (QSettings would escape them).
QString sectionOf(const Guid &clsid)
{
    return clsid.toString().mid(1, 36);
}

// Two spellings of one file compare equal once symbolic links and "." parts are resolved.
QString normalizedPath(const QString &path)
{
    const QFileInfo fi(path);
    const QString canonical = fi.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(fi.absoluteFilePath()) : canonical;
}

void syncOrThrow(QSettings &settings)
{
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw vb::Error::of(PathFileAccessError, QStringLiteral("com"), QString(), QStringLiteral("Cannot write the component registry %1").arg(settings.fileName()));
}

// Libraries stay loaded for the life of the process: objects they made may outlive every
// reference the caller still counts.
void *loadLibrary(const QString &path)
{
    static QHash<QString, void *> loaded;
    const QString key = normalizedPath(path);
    if (void *h = loaded.value(key))
        return h;
    if (!QFileInfo::exists(path))
        throw vb::Error::of(E_MOD_NOT_FOUND, QStringLiteral("com"), path, QStringLiteral("Component library not found: %1").arg(path));
    void *h = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!h)
        throw vb::Error::of(E_MOD_NOT_FOUND, QStringLiteral("com"), path, QStringLiteral("Cannot load component library %1: %2")
                            .arg(path, QString::fromLocal8Bit(dlerror())));
    loaded.insert(key, h);
    return h;
}

void *entryPoint(void *library, const char *name, const QString &path)
{
    void *f = dlsym(library, name);
    if (!f)
        throw vb::Error::of(E_PROC_NOT_FOUND, QStringLiteral("com"), QString(), QStringLiteral("%1 has no entry point %2").arg(path, QLatin1String(name)));
    return f;
}

struct Registry {
    QString overridePath;
};
Registry &state()
{
    static Registry r;
    return r;
}

}  // namespace

QString registryPath()
{
    std::lock_guard lock(registryMutex());
    if (!state().overridePath.isEmpty())
        return state().overridePath;
    const QString env = qEnvironmentVariable(EnvVariable);
    if (!env.isEmpty())
        return env;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Pendra/components.ini");
}

void setRegistryPath(const QString &path)
{
    std::lock_guard lock(registryMutex());
    state().overridePath = path;
    if (path.isEmpty())
        qunsetenv(EnvVariable);
    else
        qputenv(EnvVariable, QFile::encodeName(path));
}

QString libraryPathOf(const void *address)
{
    Dl_info info{};
    if (!dladdr(address, &info) || !info.dli_fname)
        return QString();
    return QFileInfo(QFile::decodeName(info.dli_fname)).absoluteFilePath();
}

void registerClasses(const QVector<ClassEntry> &entries)
{
    std::lock_guard lock(registryMutex());
    QSettings settings(registryPath(), QSettings::IniFormat);
    for (const ClassEntry &e : entries) {
        settings.remove(sectionOf(e.clsid));
        settings.beginGroup(sectionOf(e.clsid));
        settings.setValue(QStringLiteral("Name"), e.name);
        settings.setValue(QStringLiteral("Interface"), e.iid.toString());
        settings.setValue(QStringLiteral("Library"), e.library);
        settings.setValue(QStringLiteral("TypeLib"), e.libid.toString());
        settings.setValue(QStringLiteral("TypeLibName"), e.typeLibName);
        settings.setValue(QStringLiteral("TypeLibVersion"), e.typeLibVersion);
        settings.setValue(QStringLiteral("Lcid"), QStringLiteral("0x%1").arg(e.lcid, 0, 16));
        settings.endGroup();
    }
    syncOrThrow(settings);
}

void unregisterLibrary(const QString &libraryPath)
{
    std::lock_guard lock(registryMutex());
    const QString target = normalizedPath(libraryPath);
    QSettings settings(registryPath(), QSettings::IniFormat);
    for (const QString &section : settings.childGroups()) {
        const QString lib = settings.value(section + QStringLiteral("/Library")).toString();
        if (!lib.isEmpty() && normalizedPath(lib) == target)
            settings.remove(section);
    }
    syncOrThrow(settings);
}

QVector<ClassEntry> registeredClasses()
{
    std::lock_guard lock(registryMutex());
    QSettings settings(registryPath(), QSettings::IniFormat);
    QVector<ClassEntry> out;
    for (const QString &section : settings.childGroups()) {
        const Guid clsid = Guid::parse(section);
        if (clsid.isNull())
            continue;  // not one of ours
        settings.beginGroup(section);
        ClassEntry e;
        e.clsid = clsid;
        e.name = settings.value(QStringLiteral("Name")).toString();
        e.iid = Guid::parse(settings.value(QStringLiteral("Interface")).toString());
        e.library = settings.value(QStringLiteral("Library")).toString();
        e.libid = Guid::parse(settings.value(QStringLiteral("TypeLib")).toString());
        e.typeLibName = settings.value(QStringLiteral("TypeLibName")).toString();
        e.typeLibVersion = settings.value(QStringLiteral("TypeLibVersion")).toString();
        e.lcid = settings.value(QStringLiteral("Lcid")).toString().toUInt(nullptr, 0);
        settings.endGroup();
        out.append(e);
    }
    return out;
}

namespace {
void callServerEntry(const QString &libraryPath, const char *name)
{
    const QString path = QFileInfo(libraryPath).absoluteFilePath();
    std::lock_guard lock(registryMutex());
    void *lib = loadLibrary(path);
    auto fn = reinterpret_cast<DllRegisterServerFn>(entryPoint(lib, name, path));
    clearErrorInfo();
    check(fn());
}
}  // namespace

void registerServer(const QString &libraryPath)
{
    callServerEntry(libraryPath, "DllRegisterServer");
}

void unregisterServer(const QString &libraryPath)
{
    callServerEntry(libraryPath, "DllUnregisterServer");
}

void *createInstance(const Guid &clsid, const Guid &iid)
{
    QString library;
    for (const ClassEntry &e : registeredClasses()) {
        if (e.clsid == clsid) {
            library = e.library;
            break;
        }
    }
    if (library.isEmpty())
        throw vb::Error::of(REGDB_E_CLASSNOTREG, QStringLiteral("com"), clsid.toString(), QStringLiteral("Class not registered: %1").arg(clsid.toString()));

    void *lib = nullptr;
    {
        std::lock_guard lock(registryMutex());
        lib = loadLibrary(library);
    }
    auto getClassObject = reinterpret_cast<DllGetClassObjectFn>(
        entryPoint(lib, "DllGetClassObject", library));

    clearErrorInfo();
    Ptr<IClassFactory> factory;
    HRESULT hr = getClassObject(&clsid, &IID_IClassFactory, reinterpret_cast<void **>(factory.put()));
    if (failed(hr) || !factory)
        throw vb::Error::of(failed(hr) ? hr : E_POINTER, QStringLiteral("com"), QString(), QStringLiteral("%1 cannot create class %2").arg(library, clsid.toString()));
    void *object = nullptr;
    hr = factory->CreateInstance(nullptr, iid, &object);
    if (hr == E_NOINTERFACE)
        throw vb::Error::of(hr, QStringLiteral("com"), iid.toString(), QStringLiteral("Class %1 does not support interface %2")
                            .arg(clsid.toString(), iid.toString()));
    check(hr);
    if (!object)
        throw vb::Error::of(E_POINTER, QStringLiteral("com"), QString(), QStringLiteral("Class %1 returned no object").arg(clsid.toString()));
    return object;
}

}  // namespace com
