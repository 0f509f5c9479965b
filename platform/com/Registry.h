// The component registry (a file in the user's configuration folder) and creation by class id.
#pragma once

#include "Com.h"

#include <QString>
#include <QVector>

namespace com {

struct ClassEntry {
    Guid clsid;
    Guid iid;           // the default interface
    QString name;       // class name, such as "Files"
    QString library;    // absolute path of the shared library
    Guid libid;         // type library
    QString typeLibName;
    QString typeLibVersion;  // "1.0"
    quint32 lcid = 0;        // 0x409
};

// Location of the registry file: the path set here, else the environment variable
// PENDRA_COMPONENT_REGISTRY, else ~/.config/Pendra/components.ini. setRegistryPath also sets the
// variable, so a tool started from this process (regcomp) uses the same file; an empty path
// goes back to the default.
QString registryPath();
void setRegistryPath(const QString &path);

// The absolute path of the shared library (or executable) that holds `address`, found with
// dladdr; a library's self-registration passes the address of one of its own functions.
QString libraryPathOf(const void *address);

// Used by a library's DllRegisterServer / DllUnregisterServer. Registering again replaces the
// entries; unregistering removes exactly the classes registered for that library file.
void registerClasses(const QVector<ClassEntry> &entries);
void unregisterLibrary(const QString &libraryPath);
QVector<ClassEntry> registeredClasses();

// Loads a library file and calls its DllRegisterServer (or DllUnregisterServer); throws vb::Error.
void registerServer(const QString &libraryPath);
void unregisterServer(const QString &libraryPath);

// Looks the class up, loads its library and asks the factory for the interface. An unknown class,
// a missing library file or an unsupported interface throws vb::Error with a description the
// caller can log (number: the failing HRESULT, such as REGDB_E_CLASSNOTREG).
void *createInstance(const Guid &clsid, const Guid &iid);

template <class T>
Ptr<T> createInstance(const Guid &clsid, const Guid &iid)
{
    return Ptr<T>(static_cast<T *>(createInstance(clsid, iid)));
}

}  // namespace com
