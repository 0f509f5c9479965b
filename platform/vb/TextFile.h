// Single-byte (Windows-1252) text files with CR LF line ends, and file lookup ignoring letter case.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vb {

// Bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) read as the C1 controls
// of the same number, so no byte is lost.
QString fromCp1252(const QByteArray &bytes);
// Characters outside the code page become '?'; the C1 controls of the undefined bytes are written
// back as those bytes, so reading and writing any file keeps every byte.
QByteArray toCp1252(const QString &text);
bool fitsCp1252(const QString &text);

// A text file stays in the code page until it must hold a character the code page cannot (a
// folder in Cyrillic or Greek); such a file is written as UTF-8 behind a byte-order mark, which
// every reader here recognises, so nothing is lost as '?'. So is a text whose code-page bytes
// would begin with that mark ("ï»¿..."), so that it reads back unchanged.
QString decodeText(const QByteArray &bytes);
QByteArray encodeText(const QString &text);

// The file functions find their file without regard to letter case (resolvePathNoCase), so
// "ERROR.LOG" reads and extends an existing "Error.log".
// The largest text file read: a longer one is refused (error 7) instead of read in part.
constexpr qint64 MaxTextBytes = qint64(1) << 28;
// Whole file as text (Windows-1252). Missing file: error 53; unreadable: error 75; larger than
// MaxTextBytes: error 7.
QString readAllText(const QString &path);
// Lines of a file split on CR LF (a lone LF also ends a line); the final line end adds no line.
QStringList readLines(const QString &path);
// Replace or append (creating the file); texts are written as given (callers add "\r\n").
// Appending never rewrites what the file holds: to a code-page file, characters the code page
// lacks are appended as '?' (a missing or empty file takes the text as writeText would).
// Missing folder: error 76; a file that cannot be written: error 75 (61 on a full disk). Replacing
// goes through replaceFile, so a failure leaves the old file as it was.
void writeText(const QString &path, const QString &text);
void appendText(const QString &path, const QString &text);

// The path of the file named `name` inside `folder`, matched without regard to letter case;
// an exact match wins. Empty when there is none. `folder` may or may not end with "/".
QString findFileNoCase(const QString &folder, const QString &name);
bool fileExistsNoCase(const QString &folder, const QString &name);
// Resolves a full path whose last component may differ in case; returns the path unchanged when
// nothing matches (so a new file gets the name as written).
QString resolvePathNoCase(const QString &path);

}  // namespace vb
