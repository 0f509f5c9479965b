// Both builds as registered components: their classes, identifiers and type-library data.
#include "KvrFixture.h"

#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>

namespace kvrtest {
namespace {

struct ClassIds {
    const char *name;
    const com::Guid &clsid;
    const com::Guid &iid;
};

struct BuildIds {
    const QString &library;
    const com::Guid &libid;
    std::vector<ClassIds> classes;
};

const std::vector<BuildIds> &builds()
{
    namespace p = kvr::ids;
    namespace t = kvr::ids::trace;
    static const std::vector<BuildIds> all = {
        {ProvLibrary, p::LIBID,
         {{"cls_Bordo", p::CLSID_cls_Bordo, p::IID_cls_Bordo}, {"cls_Leggenda", p::CLSID_cls_Leggenda, p::IID_cls_Leggenda},
          {"cls_Titolo", p::CLSID_cls_Titolo, p::IID_cls_Titolo}, {"Files", p::CLSID_Files, p::IID_Files},
          {"DBInform", p::CLSID_DBInform, p::IID_DBInform}}},
        {TraceLibrary, t::LIBID,
         {{"cls_Bordo", t::CLSID_cls_Bordo, t::IID_cls_Bordo}, {"cls_Leggenda", t::CLSID_cls_Leggenda, t::IID_cls_Leggenda},
          {"cls_Titolo", t::CLSID_cls_Titolo, t::IID_cls_Titolo}, {"Files", t::CLSID_Files, t::IID_Files},
          {"DBInform", t::CLSID_DBInform, t::IID_DBInform}}},
    };
    return all;
}

qint32 creationError(const com::Guid &clsid, const com::Guid &iid)
{
    try {
        static_cast<com::IUnknown *>(com::createInstance(clsid, iid))->Release();
    } catch (const vb::Error &e) {
        return e.number();
    }
    return 0;
}

TEST(Packaging, EachBuildRegistersItsFiveClassesWithItsTypeLibrary)
{
    com::registerServer(ProvLibrary);  // again: harmless
    const QVector<com::ClassEntry> all = com::registeredClasses();
    EXPECT_EQ(all.size(), 10);
    for (const BuildIds &b : builds()) {
        for (const ClassIds &c : b.classes) {
            SCOPED_TRACE(std::string(c.name) + " in " + b.library.toStdString());
            auto it = std::find_if(all.begin(), all.end(), [&](const com::ClassEntry &e) { return e.clsid == c.clsid; });
            ASSERT_NE(it, all.end());
            EXPECT_EQ(it->name, QLatin1String(c.name));
            EXPECT_EQ(it->iid, c.iid);
            EXPECT_EQ(QFileInfo(it->library).canonicalFilePath(), QFileInfo(b.library).canonicalFilePath());
            EXPECT_EQ(it->libid, b.libid);
            EXPECT_EQ(it->typeLibName, QStringLiteral("KVR_UTIL"));
            EXPECT_EQ(it->typeLibVersion, QStringLiteral("1.0"));
            EXPECT_EQ(it->lcid, 0x409u);
            EXPECT_EQ(creationError(c.clsid, c.iid), 0);
        }
    }
}

// The identifiers as published, written out rather than taken from the library's own constants,
// so a wrong digit on either side shows.
TEST(Packaging, RegistryHoldsThePublishedIdentifiers)
{
    struct Published {
        const char *library;
        const char *libid;
        const char *name;
        const char *clsid;
        const char *iid;
    };
    const QString prov = QFileInfo(ProvLibrary).canonicalFilePath();
    const QString trace = QFileInfo(TraceLibrary).canonicalFilePath();
    const Published table[] = {
        {"prov", "{FBE49CAF-3E79-43C4-A6F4-ECAA8DC1B97E}", "cls_Bordo", "{D4B73F2A-DD0C-4FFE-A67C-AD9312810B57}", "{6627C66D-544C-4072-9A06-8522559E5C32}"},
        {"prov", "{FBE49CAF-3E79-43C4-A6F4-ECAA8DC1B97E}", "cls_Leggenda", "{AA0F8AA8-01E2-4EFA-A037-5E6B534DC9CC}", "{619A3044-410C-4246-A092-C0F93F0718E3}"},
        {"prov", "{FBE49CAF-3E79-43C4-A6F4-ECAA8DC1B97E}", "cls_Titolo", "{29B56ED0-98EE-4753-81E6-5322BA81852C}", "{C400B3FE-26BD-446B-B33E-837B327547E1}"},
        {"prov", "{FBE49CAF-3E79-43C4-A6F4-ECAA8DC1B97E}", "Files", "{2CD7606C-EDF5-47FD-AE63-F29C22482DA4}", "{B4CE89E6-9E46-454D-8695-322710FC04CE}"},
        {"prov", "{FBE49CAF-3E79-43C4-A6F4-ECAA8DC1B97E}", "DBInform", "{8337B86A-D46F-4A33-AD86-9AB2BD99D8B7}", "{7D63EB2E-6204-4C4A-AB66-1326AAB5612E}"},
        {"trace", "{B51004FE-E88C-4050-B256-051DF432A19D}", "cls_Bordo", "{8CE0232C-403B-4298-96C2-B145F254A7F2}", "{FC91F999-D2A2-46C2-9C4D-6FB31E296CEB}"},
        {"trace", "{B51004FE-E88C-4050-B256-051DF432A19D}", "cls_Leggenda", "{9FE60EED-E55B-4C68-83AE-ECE54DF230AD}", "{8856F913-AE25-4861-B7E3-07E215D58C7F}"},
        {"trace", "{B51004FE-E88C-4050-B256-051DF432A19D}", "cls_Titolo", "{98823B4E-4869-4077-BE3C-A59F5CF7E6EC}", "{9D635F1E-86E2-4BAE-8650-2A483C1AFC00}"},
        {"trace", "{B51004FE-E88C-4050-B256-051DF432A19D}", "Files", "{8BB27984-DE0F-43AA-A034-760D3BC8C096}", "{A6AB72A2-BD42-450B-BF7F-95DDE3615720}"},
        {"trace", "{B51004FE-E88C-4050-B256-051DF432A19D}", "DBInform", "{CCDA43D8-4186-4989-B6B9-57F1F1BA2D8A}", "{E7F4992E-4B15-4B33-8987-BFC188FFDB04}"},
    };
    const QVector<com::ClassEntry> all = com::registeredClasses();
    for (const Published &p : table) {
        SCOPED_TRACE(std::string(p.library) + " " + p.name);
        auto it = std::find_if(all.begin(), all.end(),
                               [&](const com::ClassEntry &e) { return e.clsid.toString() == QLatin1String(p.clsid); });
        ASSERT_NE(it, all.end());
        EXPECT_EQ(it->name, QLatin1String(p.name));
        EXPECT_EQ(it->iid.toString(), QLatin1String(p.iid));
        EXPECT_EQ(it->libid.toString(), QLatin1String(p.libid));
        EXPECT_EQ(QFileInfo(it->library).canonicalFilePath(), QLatin1String(p.library) == QLatin1String("prov") ? prov : trace);
        EXPECT_EQ(creationError(com::Guid::parse(QLatin1String(p.clsid)), com::Guid::parse(QLatin1String(p.iid))), 0);
    }
}

TEST(Packaging, IdentifiersOfOneBuildDoNotOpenTheOther)
{
    const auto &prov = builds()[0].classes;
    const auto &trace = builds()[1].classes;
    for (size_t i = 0; i < prov.size(); ++i) {
        SCOPED_TRACE(prov[i].name);
        EXPECT_EQ(creationError(prov[i].clsid, trace[i].iid), com::E_NOINTERFACE);
        EXPECT_EQ(creationError(trace[i].clsid, prov[i].iid), com::E_NOINTERFACE);
    }
}

TEST(Packaging, UnregisteredLibraryFailsCreationAndLeavesTheOtherBuild)
{
    com::unregisterServer(TraceLibrary);
    for (const ClassIds &c : builds()[1].classes)
        EXPECT_EQ(creationError(c.clsid, c.iid), com::REGDB_E_CLASSNOTREG) << c.name;
    for (const ClassIds &c : builds()[0].classes)
        EXPECT_EQ(creationError(c.clsid, c.iid), 0) << c.name;
    com::registerServer(TraceLibrary);
    EXPECT_EQ(creationError(kvr::ids::trace::CLSID_Files, kvr::ids::trace::IID_Files), 0);
}

TEST(Packaging, LibraryCannotUnloadWhileAnObjectLives)
{
    for (const BuildIds &b : builds()) {
        SCOPED_TRACE(b.library.toStdString());
        void *handle = dlopen(QFile::encodeName(b.library).constData(), RTLD_NOW | RTLD_NOLOAD);
        ASSERT_TRUE(handle);
        auto canUnload = reinterpret_cast<com::DllCanUnloadNowFn>(dlsym(handle, "DllCanUnloadNow"));
        ASSERT_TRUE(canUnload);
        EXPECT_EQ(canUnload(), com::S_OK);
        {
            auto legend = com::createInstance<kvr::_cls_Leggenda>(b.classes[1].clsid, b.classes[1].iid);
            EXPECT_EQ(canUnload(), com::S_FALSE);
        }
        EXPECT_EQ(canUnload(), com::S_OK);
        dlclose(handle);
    }
}

}  // namespace
}  // namespace kvrtest
