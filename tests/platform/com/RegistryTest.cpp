// The component registry file, self-registration, creation by class id and the regcomp tool.
#include "TestComponent.h"

#include "com/Registry.h"
#include "vb/Error.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

const QString ComponentPath = QStringLiteral(TEST_COMPONENT_PATH);

com::ClassEntry entry(const char *clsid, const QString &library, const char *name)
{
    return testcomp::entry(com::Guid::parse(QLatin1String(clsid)), library, QLatin1String(name));
}

const com::ClassEntry *find(const QVector<com::ClassEntry> &all, const com::Guid &clsid)
{
    for (const auto &e : all)
        if (e.clsid == clsid)
            return &e;
    return nullptr;
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        com::setRegistryPath(m_dir.filePath(QStringLiteral("components.ini")));
    }
    void TearDown() override { com::setRegistryPath(QString()); }

    QString file(const QString &name) const { return m_dir.filePath(name); }

    static com::HRESULT createFails(const com::Guid &clsid, const com::Guid &iid, QString *description)
    {
        try {
            void *p = com::createInstance(clsid, iid);
            static_cast<com::IUnknown *>(p)->Release();
        } catch (const vb::Error &e) {
            *description = e.description();
            return e.number();
        }
        return com::S_OK;
    }

    QTemporaryDir m_dir;
};

TEST_F(RegistryTest, RegisteringAgainIsHarmlessAndUnregisterTakesOnlyItsOwnClasses)
{
    const QString libA = file(QStringLiteral("libA.so"));
    const QString libB = file(QStringLiteral("libB.so"));
    const QVector<com::ClassEntry> a = {entry("{11111111-0000-0000-0000-000000000001}", libA, "One"),
                                        entry("{11111111-0000-0000-0000-000000000002}", libA, "Two")};
    com::registerClasses(a);
    com::registerClasses(a);
    com::registerClasses({entry("{22222222-0000-0000-0000-000000000001}", libB, "Three")});

    QVector<com::ClassEntry> all = com::registeredClasses();
    ASSERT_EQ(all.size(), 3);
    const com::ClassEntry *two = find(all, a[1].clsid);
    ASSERT_TRUE(two);
    EXPECT_EQ(two->name, QStringLiteral("Two"));
    EXPECT_EQ(two->iid, testcomp::IID_ICounter);
    EXPECT_EQ(two->library, libA);
    EXPECT_EQ(two->libid, testcomp::LIBID);
    EXPECT_EQ(two->typeLibName, QStringLiteral("TestComponent"));
    EXPECT_EQ(two->typeLibVersion, QStringLiteral("1.0"));
    EXPECT_EQ(two->lcid, 0x409u);

    // Another library taking over a class id owns it from then on.
    com::registerClasses({entry("{11111111-0000-0000-0000-000000000002}", libB, "Two")});
    // The same file spelled another way is still the same library.
    com::unregisterLibrary(m_dir.path() + QStringLiteral("/./libA.so"));

    all = com::registeredClasses();
    ASSERT_EQ(all.size(), 2);
    EXPECT_FALSE(find(all, a[0].clsid));
    ASSERT_TRUE(find(all, a[1].clsid));
    EXPECT_EQ(find(all, a[1].clsid)->library, libB);
    EXPECT_TRUE(find(all, com::Guid::parse(QStringLiteral("{22222222-0000-0000-0000-000000000001}"))));
}

TEST_F(RegistryTest, CreationFailuresNameTheirCause)
{
    QFile text(file(QStringLiteral("notalib.so")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a library");
    text.close();
    const QString missing = file(QStringLiteral("gone.so"));
    com::registerClasses({entry("{33333333-0000-0000-0000-000000000001}", missing, "Gone"),
                          entry("{33333333-0000-0000-0000-000000000002}", text.fileName(), "Text"),
                          entry("{33333333-0000-0000-0000-000000000003}", ComponentPath, "Stranger")});
    com::registerServer(ComponentPath);

    struct Case { const char *what; com::Guid clsid; com::Guid iid; com::HRESULT hr; QString mentions; };
    const Case cases[] = {
        {"unknown class", com::Guid::parse(QStringLiteral("{44444444-0000-0000-0000-000000000001}")),
         testcomp::IID_ICounter, com::REGDB_E_CLASSNOTREG, QStringLiteral("{44444444-0000-0000-0000-000000000001}")},
        {"missing library file", com::Guid::parse(QStringLiteral("{33333333-0000-0000-0000-000000000001}")),
         testcomp::IID_ICounter, com::E_MOD_NOT_FOUND, missing},
        {"file is not a library", com::Guid::parse(QStringLiteral("{33333333-0000-0000-0000-000000000002}")),
         testcomp::IID_ICounter, com::E_MOD_NOT_FOUND, text.fileName()},
        {"class the library does not have", com::Guid::parse(QStringLiteral("{33333333-0000-0000-0000-000000000003}")),
         testcomp::IID_ICounter, com::CLASS_E_CLASSNOTAVAILABLE, QString()},
        {"unsupported interface", testcomp::CLSID_Counter, testcomp::LIBID, com::E_NOINTERFACE,
         testcomp::LIBID.toString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QString description;
        EXPECT_EQ(createFails(c.clsid, c.iid, &description), c.hr);
        EXPECT_FALSE(description.isEmpty());
        EXPECT_TRUE(description.contains(c.mentions)) << description.toStdString();
    }
}

TEST_F(RegistryTest, SelfRegisteredClassWorksAndItsErrorsReachTheCaller)
{
    com::registerServer(ComponentPath);
    const QVector<com::ClassEntry> all = com::registeredClasses();
    ASSERT_EQ(all.size(), 2);  // written to this test's registry, not the user's
    const com::ClassEntry *counter = find(all, testcomp::CLSID_Counter);
    ASSERT_TRUE(counter);
    EXPECT_EQ(QFileInfo(counter->library).canonicalFilePath(), QFileInfo(ComponentPath).canonicalFilePath());
    EXPECT_TRUE(QFileInfo(counter->library).isAbsolute());
    EXPECT_EQ(counter->name, QStringLiteral("Counter"));

    auto a = com::createInstance<testcomp::ICounter>(testcomp::CLSID_Counter, testcomp::IID_ICounter);
    auto b = com::createInstance<testcomp::ICounter>(testcomp::CLSID_Other, testcomp::IID_ICounter);
    ASSERT_TRUE(a && b);
    qint32 total = 0;
    com::check(a->Add(5, &total));
    com::check(a->Add(2, &total));
    EXPECT_EQ(total, 7);
    com::check(b->Add(1, &total));
    EXPECT_EQ(total, 1);  // each object keeps its own state

    // Error info set inside the library travels to com::check in the caller.
    try {
        com::check(a->Fail(9));
        FAIL() << "no error";
    } catch (const vb::Error &e) {
        EXPECT_EQ(e.number(), 9);
        EXPECT_EQ(e.description(), QStringLiteral("Test failure 9"));
        EXPECT_EQ(e.source(), QStringLiteral("TestComponent"));
    }
}

TEST_F(RegistryTest, LibraryStaysBusyWhileAnObjectLives)
{
    com::registerServer(ComponentPath);
    void *handle = dlopen(QFile::encodeName(ComponentPath).constData(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_TRUE(handle) << "the registration keeps the library loaded";
    auto canUnload = reinterpret_cast<com::DllCanUnloadNowFn>(dlsym(handle, "DllCanUnloadNow"));
    ASSERT_TRUE(canUnload);
    EXPECT_EQ(canUnload(), com::S_OK);
    {
        auto a = com::createInstance<testcomp::ICounter>(testcomp::CLSID_Counter, testcomp::IID_ICounter);
        com::Ptr<testcomp::ICounter> copy = a;
        a.reset();
        EXPECT_EQ(canUnload(), com::S_FALSE);
        com::IUnknown *unknown = nullptr;
        ASSERT_EQ(copy->QueryInterface(com::IID_IUnknown, reinterpret_cast<void **>(&unknown)), com::S_OK);
        EXPECT_EQ(unknown->Release(), 1u);
    }
    EXPECT_EQ(canUnload(), com::S_OK);
    dlclose(handle);
}

TEST_F(RegistryTest, UnregisteredLibraryFailsCreation)
{
    com::registerServer(ComponentPath);
    com::registerClasses({entry("{55555555-0000-0000-0000-000000000001}", file(QStringLiteral("x.so")), "Kept")});
    com::unregisterServer(ComponentPath);
    const QVector<com::ClassEntry> all = com::registeredClasses();
    ASSERT_EQ(all.size(), 1);
    EXPECT_EQ(all[0].name, QStringLiteral("Kept"));
    QString description;
    EXPECT_EQ(createFails(testcomp::CLSID_Counter, testcomp::IID_ICounter, &description), com::REGDB_E_CLASSNOTREG);
}

TEST_F(RegistryTest, RegcompRegistersAndUnregisters)
{
    auto run = [&](const QStringList &args) {
        QProcess p;
        p.start(QStringLiteral(REGCOMP_PATH), args);  // inherits the registry location
        EXPECT_TRUE(p.waitForFinished(30000));
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };
    EXPECT_EQ(run({ComponentPath}), 0);
    EXPECT_EQ(com::registeredClasses().size(), 2);
    EXPECT_EQ(run({ComponentPath}), 0);
    EXPECT_EQ(com::registeredClasses().size(), 2);
    EXPECT_EQ(run({QStringLiteral("/u"), ComponentPath}), 0);
    EXPECT_TRUE(com::registeredClasses().isEmpty());

    EXPECT_EQ(run({file(QStringLiteral("missing.so"))}), 1);
    EXPECT_NE(run({}), 0);
    EXPECT_TRUE(com::registeredClasses().isEmpty());
}

}  // namespace
