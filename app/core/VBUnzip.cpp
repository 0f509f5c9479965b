// The unzip routine and the routines handed to the UnZip library.
#include "VBUnzip.h"

#include "Utility.h"

#include "forms/DialogService.h"
#include "unzip/Unzip.h"
#include "vb/Error.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cstring>

namespace pendra {

namespace {

VBUnzipState g_state;

QString fromSingleByte(const char *bytes, qsizetype size)
{
    QStringDecoder decode("windows-1252");
    return decode(QByteArray(bytes, size));
}

QByteArray toSingleByte(const QString &text)
{
    QStringEncoder encode("windows-1252");
    return encode(text);
}

int printRoutine(const char *buffer, unsigned long size)
{
    QString text = fromSingleByte(buffer, static_cast<qsizetype>(size));
    text.replace("\n", "\r\n");
    g_state.printed += text;
    g_state.lastMessage = text;
    return 0;
}

int replaceRoutine(const char *fileName)
{
    const int answer = forms::dialogs().msgBox("Overwrite " + QFile::decodeName(fileName) + "?",
                                               forms::vbYesNoCancel + forms::vbExclamation,
                                               "VBUnZip32 - File Already Exists!");
    if (answer == forms::vbYes)
        return unzip::IDM_REPLACE_YES;
    if (answer == forms::vbNo)
        return unzip::IDM_REPLACE_NO;
    return unzip::IDM_REPLACE_NONE;
}

int passwordRoutine(char *buffer, int bufferSize, const char *, const char *)
{
    if (g_state.skipPassword)
        return unzip::IZ_PW_CANCEL;
    const QString answer = forms::dialogs().inputBox("Please Enter The Password!");
    if (answer.isEmpty()) {
        g_state.skipPassword = true;
        return unzip::IZ_PW_CANCEL;
    }
    const QByteArray bytes = toSingleByte(answer);
    const size_t n = std::min(static_cast<size_t>(bytes.size()), static_cast<size_t>(bufferSize) - 1);
    std::memcpy(buffer, bytes.constData(), n);
    buffer[n] = '\0';
    return unzip::IZ_PW_ENTERED;
}

void messageRoutine(unsigned long size, unsigned long, unsigned, unsigned month, unsigned day, unsigned year,
                    unsigned hour, unsigned minute, const char *entryName, const char *, unsigned long, bool)
{
    g_state.listing += QString("%1 %2 %3/%4/%5 %6:%7\r\n")
                           .arg(fromSingleByte(entryName, static_cast<qsizetype>(std::strlen(entryName))))
                           .arg(size)
                           .arg(day, 2, 10, QChar('0')).arg(month, 2, 10, QChar('0')).arg(year)
                           .arg(hour, 2, 10, QChar('0')).arg(minute, 2, 10, QChar('0'));
    ++g_state.listedCount;
}

int serviceRoutine(const char *, unsigned long)
{
    return 0;
}

}  // namespace

const VBUnzipState &vbUnzipState()
{
    return g_state;
}

qint32 VBUnzip(const QString &zipFileName, const QString &extractDir, const UnzipOptions &options)
{
    try {
        g_state = VBUnzipState();
        const QByteArray zipName = QFile::encodeName(zipFileName);
        const QByteArray dir = QFile::encodeName(extractDir);
        unzip::DCL dcl;
        dcl.ExtractOnlyNewer = options.ExtractOnlyNewer;
        dcl.SpaceToUnderscore = options.SpaceToUnderScore;
        dcl.PromptToOverwrite = options.PromptOverwrite;
        dcl.fQuiet = options.MessageLevel;
        dcl.ncflag = options.WriteToStdOut;
        dcl.ntflag = options.TestZip;
        dcl.nvflag = options.ExtractList;
        dcl.nfflag = options.ExtractNewer;
        dcl.nzflag = options.DisplayComment;
        dcl.ndflag = options.HonorDirectories;
        dcl.noflag = options.OverWriteFiles;
        dcl.naflag = options.ConvertCRtoCRLF;
        dcl.nZIflag = options.Verbose;
        dcl.C_flag = options.CaseSensitive;
        dcl.fPrivilege = options.Privilege;
        dcl.lpszZipFN = zipName.constData();
        dcl.lpszExtractDir = dir.constData();

        unzip::USERFUNCTIONS callbacks;
        callbacks.print = printRoutine;
        callbacks.sound = nullptr;
        callbacks.replace = replaceRoutine;
        callbacks.password = passwordRoutine;
        callbacks.message = messageRoutine;
        callbacks.service = serviceRoutine;

        unzip::UZPVER version;
        version.structlen = 64;
        std::memset(version.betalevel, ' ', sizeof version.betalevel);
        std::memset(version.date, ' ', sizeof version.date);
        std::memset(version.zlib_version, ' ', sizeof version.zlib_version);
        unzip::UzpVersion2(&version);

        return unzip::Wiz_SingleEntryUnzip(0, nullptr, 0, nullptr, &dcl, &callbacks);
    } catch (vb::Error &e) {
        e.setSource("CodeModule::VBUnzip");
        throw;
    }
}

bool RecoverUpdate(const QString &folder)
{
    QStringList problems;
    const unzip::Recovery outcome = unzip::recoverInterrupted(folder, &problems);
    const QString head = "L'aggiornamento interrotto della cartella " + folder;
    const QString leftAlone = problems.isEmpty() ? QString()
        : "\r\nFile lasciati com'erano: " + problems.join("; ") + ".";
    switch (outcome) {
    case unzip::Recovery::Nothing:
        return true;
    case unzip::Recovery::Finished:
        forms::dialogs().msgBox(head + " è stato completato." + leftAlone, forms::vbInformation);
        return true;
    case unzip::Recovery::Undone:
        forms::dialogs().msgBox(head + " è stato annullato." + leftAlone, forms::vbInformation);
        return true;
    case unzip::Recovery::Failed:
        break;
    }
    LogError("frmMainMDI", "RecoverUpdate",
             vb::Error(vb::err::PathFileAccess,
                       "Impossibile completare o annullare l'aggiornamento interrotto della cartella " + folder +
                           (problems.isEmpty() ? QString() : ": " + problems.join("; ")) +
                           ". I file della cartella non saranno usati."));
    return false;
}

}  // namespace pendra
