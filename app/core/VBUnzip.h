// The unzip routine that drives the UnZip library: fills its option and callback records and runs it.
#pragma once

#include <QString>

namespace pendra {

// The fifteen option values, in the order of the library's option record.
struct UnzipOptions {
    bool ExtractOnlyNewer = false;
    bool SpaceToUnderScore = false;
    bool PromptOverwrite = false;
    qint32 MessageLevel = 2;  // 0 all messages, 1 few, 2 none
    bool WriteToStdOut = false;
    bool TestZip = false;
    qint32 ExtractList = 0;   // 0 extract, 1 list
    bool ExtractNewer = false;
    bool DisplayComment = false;
    bool HonorDirectories = true;
    bool OverWriteFiles = true;
    bool ConvertCRtoCRLF = false;
    bool Verbose = false;
    bool CaseSensitive = true;
    qint32 Privilege = 0;
};

// Program-wide state of the routine, cleared at the start of every VBUnzip.
struct VBUnzipState {
    QString lastMessage;
    qint16 listedCount = 0;
    QString listing;  // one line per listed entry: name, size, date and time
    QString printed;  // everything the library printed, line feeds as CR LF
    bool skipPassword = false;
};
const VBUnzipState &vbUnzipState();

// Unpacks (or tests, or lists) the archive into the folder and answers the library's return code
// (0 success). The library's questions go through the dialog service: "Overwrite <file>?" and
// "Please Enter The Password!" (an empty answer gives up: nothing is extracted). Errors reach the
// caller with the source "CodeModule::VBUnzip".
qint32 VBUnzip(const QString &zipFileName, const QString &extractDir, const UnzipOptions &options);

// Settles an update of folder that a crash or a power cut interrupted: finished, or undone when it
// cannot be finished, with a notice saying which and naming any file left as it was. One that can
// be neither is logged with its reasons (RecoverUpdate, the main window) and left for the next
// start; then the answer is false and the folder's files must not be used. Never throws.
bool RecoverUpdate(const QString &folder);

}  // namespace pendra
