// The path files of the Files folder: "DBPath.kvr" (databases folder) and "SHPath.kvr" (shapes folder).
#pragma once

#include <QString>

namespace pendra {

// Reads the folder a path file records: CR LF pairs removed, blanks trimmed, one "/" appended when
// missing; "" when nothing is recorded. A missing file is created empty. Never fails. Any white
// space at the ends goes too (a lone LF of a file edited here), since no folder ends in one.
QString GetDbPathFile();
QString GetShapePathFile();
QString readPathFile(const QString &fileName);

// Replace the path file with exactly one line. The new file is written beside the old one and
// then takes its place, so a failed write leaves the old file; a file that vanished meanwhile is
// simply written anew rather than failing and forgetting the picked folder. A failure is logged (WriteDBPath /
// WriteSHPath, the main window) and the folder is then used for this run only.
void WriteDBPath(const QString &path);
void WriteSHPath(const QString &path);
// The same without logging; throws vb::Error (75, 61 on a full disk) when the file cannot be
// written, the old file then left as it was.
void writePathFile(const QString &fileName, const QString &path);

}  // namespace pendra
