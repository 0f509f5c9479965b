// The UnZip library's published interface: version query, single-entry unzip of a whole archive,
// its option record DCL, its callback record USERFUNCTIONS and its version record UZPVER.
#pragma once

#include <QString>

#include <cstdint>

namespace unzip {

// Return codes, in the UnZip convention.
enum : int {
    PK_OK = 0,      // everything extracted (or listed, or tested)
    PK_WARN = 1,    // done, with warnings (entries skipped on request)
    PK_ERR = 2,     // an entry was refused or failed its check: nothing was written
    PK_BADERR = 3,  // the archive is damaged or truncated: nothing was written
    PK_MEM = 4,
    PK_NOZIP = 9,   // no archive of that name
    PK_PARAM = 10,  // bad options (no archive or destination named)
    PK_FIND = 11,   // none of the included names is in the archive
    PK_DISK = 50,   // the destination could not be written: nothing was changed
    IZ_CTRLC = 80,  // cancelled by the service routine
    IZ_UNSUP = 81,  // compression or encryption method not supported
    IZ_BADPWD = 82  // encrypted entries and no (right) password: nothing was written
};

// Answers of the replace routine.
enum : int { IDM_REPLACE_NO = 100, IDM_REPLACE_YES = 102, IDM_REPLACE_NONE = 104 };
// Answers of the password routine.
enum : int { IZ_PW_ENTERED = 0, IZ_PW_CANCEL = 1 };

// Options of one run, in the library's field order. Flags are non-zero for on.
struct DCL {
    int32_t ExtractOnlyNewer = 0;   // only entries newer than the existing file
    int32_t SpaceToUnderscore = 0;  // blanks in entry names become underscores
    int32_t PromptToOverwrite = 0;  // ask the replace routine before overwriting
    int32_t fQuiet = 2;             // messages to the print routine: 0 all, 1 few, 2 none
    int32_t ncflag = 0;             // write entry contents to the print routine instead of files
    int32_t ntflag = 0;             // test the archive only
    int32_t nvflag = 0;             // 0 extract, 1 list entries to the message routine
    int32_t nfflag = 0;             // freshen: only replace existing, older files
    int32_t nzflag = 0;             // show the archive comment through the print routine
    int32_t ndflag = 1;             // recreate the stored folders (0: every file in the destination)
    int32_t noflag = 1;             // overwrite existing files without asking
    int32_t naflag = 0;             // line-end translation (not supported: ignored)
    int32_t nZIflag = 0;            // archive information through the print routine
    int32_t C_flag = 1;             // include/exclude names compared case-sensitively
    int32_t fPrivilege = 0;         // restore access rights (only the owner's read/write bits)
    const char *lpszZipFN = nullptr;       // archive file name (local 8-bit)
    const char *lpszExtractDir = nullptr;  // destination folder (local 8-bit); made when missing
};

// Routines the library calls back. Any of them may be null (then: no output, overwrite "no",
// no password, no listing, go on).
struct USERFUNCTIONS {
    // Text output; the answer is ignored.
    int (*print)(const char *buffer, unsigned long size) = nullptr;
    void (*sound)() = nullptr;  // never called
    // An existing file would be overwritten: answer IDM_REPLACE_YES, _NO or _NONE.
    int (*replace)(const char *fileName) = nullptr;
    // An encrypted entry: copy a password of at most bufferSize - 1 bytes and a NUL into buffer and
    // answer IZ_PW_ENTERED, or answer IZ_PW_CANCEL to give up (then nothing is extracted).
    int (*password)(char *buffer, int bufferSize, const char *prompt, const char *entryName) = nullptr;
    // One listed entry: sizes, date and time, method name, CRC, encrypted flag.
    void (*message)(unsigned long size, unsigned long compressedSize, unsigned ratio, unsigned month,
                    unsigned day, unsigned year, unsigned hour, unsigned minute, const char *entryName,
                    const char *method, unsigned long crc, bool encrypted) = nullptr;
    // The entry about to be processed; non-zero cancels the whole run (nothing is written).
    int (*service)(const char *entryName, unsigned long size) = nullptr;
    // Totals of the last run, set by the library.
    unsigned long TotalSizeComp = 0;
    unsigned long TotalSize = 0;
    unsigned long CompFactor = 0;
    unsigned long NumMembers = 0;
    unsigned cchComment = 0;
};

struct UZPVER {
    uint32_t structlen = 0;  // the caller sets sizeof or 64; the library never writes past it
    uint32_t flag = 0;
    char betalevel[10] = {};
    char date[20] = {};
    char zlib_version[10] = {};
    uint8_t unzip[4] = {};  // major, minor, patch, beta
    uint8_t windll[4] = {};
};

// Fills the record (within structlen) with this library's version.
void UzpVersion2(UZPVER *version);

// Extracts (or lists or tests) the archive lpC->lpszZipFN into lpC->lpszExtractDir. With ifnc > 0
// only the entries named in ifnv are processed; entries named in xfnv are skipped.
// Safety: every entry name is checked first; a name that would land outside the destination
// (absolute, drive letter, "..", backslash forms), a name of this layer's own files
// (".unzip-journal", ".unzip-XXXXXX") or a symbolic-link entry refuses the whole archive, and so
// does an entry that an existing file or folder of the destination stands in the way of (a file
// where a folder goes, or the reverse), or another entry of the archive does ("leggimi" and
// "leggimi/nota.txt", or "Metadati.mdb" and "METADATI.MDB"): PK_ERR.
// All or nothing: the destination (made when missing) and every folder are created, and every
// entry is decompressed, its CRC verified and synced to disk into a temporary file in its own
// target folder; any failure up to there removes what was made and answers with nothing changed.
// Then a journal of the renames is written into the destination (".unzip-journal") and the
// temporary files are renamed over their targets (an existing file is matched without regard to
// letter case and keeps its name), each replaced file kept until the whole archive is in place.
// A rename that fails puts every replaced file back (PK_DISK); a run cut short by a crash leaves
// the journal for recoverInterrupted. Never throws; answers a code of the enum above.
int Wiz_SingleEntryUnzip(int ifnc, char **ifnv, int xfnc, char **xfnv, DCL *lpC, USERFUNCTIONS *lpUserFunc);

// Settles a run on folder that a crash or a power cut stopped among its renames: with its journal
// there, every entry is put in place (Finished) or, when that cannot be done, every replaced file
// is put back and the new files and folders go (Undone); then the journal goes. A journal that a
// crash kept from its place names a run that renamed nothing: its temporary files go (Undone).
// The journal is a claim, not a command: only the run's own temporary and backup names in folder
// (no "..", no absolute path, nothing through a symbolic link) are acted on, and a file only when
// its size and CRC are those recorded; any other file is left as it is and named in problems
// (when given). With no journal nothing is touched. Failed: a journal that cannot be trusted, a
// replaced file that cannot be put back, or a rename or removal that failed; the journal then
// stays for the next start.
enum class Recovery { Nothing, Finished, Undone, Failed };
Recovery recoverInterrupted(const QString &folder, QStringList *problems = nullptr);

// Test seam: called in a run before each rename of the commit with the number already done.
void setRenameHook(void (*hook)(int renamesDone));

}  // namespace unzip
