// Test archives: made by the zip tool, or built entry by entry (hostile names, links, raw bytes).
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace archivekit {

// Runs "zip <args>" in folder; throws std::runtime_error when it fails.
void runZip(const QString &folder, const QStringList &args);

struct Member {
    QString name;        // stored exactly as given
    QByteArray data;
    bool store = false;  // no compression (data visible in the file)
    bool symlink = false;  // a Unix symbolic link whose target is data
};
// Writes the archive with libzip; throws std::runtime_error when it cannot.
void buildArchive(const QString &path, const std::vector<Member> &members);

// Every file under folder (relative path, "/"-separated) with its bytes; folders as "dir/" with no bytes.
QMap<QString, QByteArray> snapshot(const QString &folder);

QByteArray readFile(const QString &path);
void writeFile(const QString &path, const QByteArray &bytes);  // creates the folders

// Runs work in a child process that the system kills (SIGKILL, as a crash or a power cut would
// stop it) just before the rename number killAt of an unzip run; true when the child died so.
bool killedBetweenRenames(const std::function<void()> &work, int killAt);

}  // namespace archivekit
