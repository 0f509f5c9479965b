// Test support of the core: a small program folder built through the engine, and a test base that
// isolates the shared state, dialogs, program end, instance lock and component registry.
#pragma once

#include "forms/ScriptedDialogService.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace coretest {

// Databases/Metadati.mdb (DBMainMenu, DbConfigs, tablelink, Settore), Databases/Dati.mdb (the
// receiving database, empty), Files/InfoZup.txt, Images/velmo2.jpg, Shape/confini.shp.
class SmallFolder {
public:
    SmallFolder();
    QString path() const;  // without trailing "/"
    QString file(const QString &relative) const;  // path() + "/" + relative
    void exec(const QString &database, const QStringList &statements) const;  // Databases/<database>
    QStringList query(const QString &database, const QString &sql) const;     // rows as "a|b|<null>"
    void remove(const QString &relative) const;
    void write(const QString &relative, const QByteArray &bytes) const;
    QByteArray read(const QString &relative) const;
    // Replaces DBMainMenu's rows: each "IdMenu|IdMenuParent|Orderb|DescName|sep|dis|chk|Form|DB|Tipo|Liv"
    // with "<null>" for a Null.
    void setMenu(const QStringList &rows) const;

private:
    QTemporaryDir m_dir;
};

class CoreTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the start-up in-process on the folder (the main window's load).
    void start(const QString &programFolder);
    QStringList logLines() const;  // Files/Error.log of the folder last started

    forms::ScriptedDialogService dialogs;
    int ends = 0;  // times the program ended
    QString folder;
    QTemporaryDir scratch;  // lock folder and component registry

private:
    std::unique_ptr<forms::ScopedDialogs> m_installed;
};

// Registers the built library in the test's registry; false when it is not built yet.
bool registerLibrary();

}  // namespace coretest
