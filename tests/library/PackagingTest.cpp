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
