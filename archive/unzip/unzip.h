#pragma once
/*
 * Our unzip library's C interface: a single call that lists, tests or extracts a ZIP
 * package, reporting through callbacks. Built on libzip; a thin adaptor over the typed
 * C++ face in library.h, which C++ callers use. Callbacks run on the
 * calling thread, inside the call; the library keeps no state between calls, so calls
 * may nest or run on several threads. A callback should not throw; if one does, the
 * call ends with code 2 and the exception goes no further.
 *
 * What a call does is chosen by the option record:
 *   nvflag != 0  list: one SendApplicationMessage per file entry (folder entries are
 *                not reported), nothing written; only the central directory is read;
 *   ntflag != 0  test: every selected entry is read and checked, nothing written;
 *   otherwise    extract the selected entries into lpszExtractDir.
 * An entry is selected when it matches one of the include patterns (all entries when
 * there are none) and none of the exclude patterns. Patterns use the archive-entry
 * wildcard dialect ("*", "?", "[set]"), matched against the whole entry name with "/"
 * as the separator; a pattern also matches the name equal to it, so a name holding
 * wildcard characters can be given literally. Case matters unless C_flag is set.
 *
 * Tolerance: junk in extra fields (padding, a block running past the field) and an
 * archive comment shorter than stated do not stop a package from being read (a note is
 * printed); a NUL byte in a name reads as a space.
 *
 * Names: entry names arrive decoded to UTF-8. A name that is strictly valid UTF-8 and
 * holds no control character is taken as UTF-8; any other name is read as code page
 * 437, its control characters written as "_". So no reported name holds a control
 * character, and a one-character set holding one ("[*\x01]") matches exactly the
 * character it also holds, while its text equals no entry name: that is how a caller
 * names an entry holding "*", "?" or "[" literally. A backslash in a name is a folder
 * separator and is reported as "/".
 *
 * Safety promises when extracting:
 *  - nothing is written outside the extraction folder: a drive letter ("C:"), leading
 *    "/" and every "." or ".." component are dropped from the name (a warning says
 *    so), and folders are walked one component at a time without following any
 *    symbolic link found on the way (such an entry fails);
 *  - an existing file, or symbolic link, is only ever replaced, never written through;
 *  - symbolic-link entries are written as plain files holding the link text;
 *  - an archive whose entries' data overlap, or whose layout cannot be verified (more
 *    than one possible central directory, a local header that contradicts its
 *    directory record on method, CRC or sizes), is refused before anything is written;
 *  - entries nested deeper than UZ_MAX_FOLDER_DEPTH folders or longer than the path
 *    limit are not written (an error for each); the files and folders to be written
 *    must leave a reserve free on the disk (see UZ_DISK_FULL);
 *  - a damaged, truncated or oversized entry (CRC-32 and size are checked) leaves
 *    nothing behind: its file is removed and its error printed; replacing removes the
 *    old file or link first and creates the new file exclusively, so, as with the
 *    classic tool's overwrite, a failed replacement leaves neither;
 *  - files get ordinary permissions (0666 less the umask; no set-user, set-group or
 *    executable bits from the archive) and the entry's modification time.
 *
 * Return codes of Wiz_SingleEntryUnzip: the UZ_* constants below.
 *
 * Print messages: one line per call, without a line ending: "Archive:  <package>",
 * "   creating: <folder>/", "  inflating: <name>", "  extracting: <name>" (stored
 * data), "    testing: <name>   OK", "  skipping: <name>  <reason>",
 * "warning: ...", "caution: ..." and "error: ...". fQuiet 0 prints all of them,
 * 1 only warnings, cautions and errors, 2 or more nothing.
 */
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Return codes of Wiz_SingleEntryUnzip (the usual unzip numbering). */
/* success */
#define UZ_OK 0
/* warning: names were cut to stay inside the folder, a symbolic-link entry was written
   as a file, an include pattern matched nothing, the archive is empty, or some entries
   were skipped (password, unsupported method) while others worked */
#define UZ_WARN 1
/* an entry could not be tested or extracted (CRC error, damaged or truncated data, a
   name too long or too deep, a file or folder that could not be created); the others
   were processed */
#define UZ_ERR_ARCHIVE 2
/* the archive's layout cannot be verified (damaged or ambiguous central directory,
   damaged local header); nothing was extracted */
#define UZ_ERR_LAYOUT 3
/* out of memory */
#define UZ_ERR_MEMORY 4
/* the package is missing, unreadable, not a regular file, empty or not a ZIP archive */
#define UZ_NOT_ARCHIVE 9
/* bad parameters (no option record, no package name, no extraction folder, or the
   extraction folder cannot be created) */
#define UZ_BAD_PARAM 10
/* no entry matched the include patterns */
#define UZ_NO_MATCH 11
/* the archive's entries overlap (refused as unsafe); nothing was extracted */
#define UZ_UNSAFE 12
/* the disk is full: the selected entries (and the folders they need) would leave less
   than the reserve free (5 % of the file system or 1 GiB, whichever is smaller; nothing
   was extracted), or it filled up while writing (extraction stopped; the partial file
   was removed) */
#define UZ_DISK_FULL 50
/* cancelled by the service callback */
#define UZ_CANCELLED 80
/* every selected entry uses an unsupported compression or encryption method */
#define UZ_UNSUPPORTED 81
/* every selected entry was skipped for a missing or wrong password */
#define UZ_BAD_PASSWORD 82

/* Entries deeper than this many folders, or whose output path would exceed the
   system's path limit, are not extracted (an error for that entry): a few kilobytes of
   names must not create hundreds of thousands of folders. */
#define UZ_MAX_FOLDER_DEPTH 64

/* Answers of the replace callback. Any other answer skips the file. */
#define UNZIP_REPLACE_NO 100   /* keep the existing file */
#define UNZIP_REPLACE_YES 102  /* replace it */
#define UNZIP_REPLACE_ALL 103  /* replace it and every further one, without asking */
#define UNZIP_REPLACE_NONE 104 /* keep it and every further one, without asking */

/* Size of the buffer handed to the password callback (including the terminator). */
#define UNZIP_PASSWORD_BUFFER_SIZE 256

/* The option record. Booleans are 0 or not 0. */
typedef struct {
    int ExtractOnlyNewer;  /* extract only when the file is missing or older */
    int SpaceToUnderscore; /* write spaces in names as "_" */
    int PromptToOverwrite; /* ask the replace callback before replacing a file */
    int fQuiet;            /* message level, see above */
    int ncflag;            /* (write to standard output) accepted, no effect */
    int ntflag;            /* test instead of extracting */
    int nvflag;            /* list instead of extracting */
    int nfflag;            /* freshen: only replace files that exist and are older */
    int nzflag;            /* print the archive comment and do nothing else */
    int ndflag;            /* keep the entries' folders (0: every file in the folder) */
    int noflag;            /* replace existing files without asking */
    int naflag;            /* (line-ending conversion) accepted, no effect: the text
                              already uses this platform's line ends */
    int nZIflag;           /* (detailed listing) accepted, listed as with nvflag */
    int C_flag;            /* match include and exclude patterns ignoring case */
    int fPrivilege;        /* (restore access lists) accepted, no effect */
    char* lpszZipFN;       /* the package path (UTF-8) */
    char* lpszExtractDir;  /* the extraction folder (UTF-8); created when missing */
} DCL;

/* Receives one message line (size bytes, no terminator needed); result ignored. */
typedef int(UnzipPrintFn)(char* buffer, unsigned long size);
/* Not called. */
typedef void(UnzipSoundFn)(void);
/* An existing file would be replaced: the full path of the file; answer UNZIP_REPLACE_*. */
typedef int(UnzipReplaceFn)(char* filename);
/* An encrypted entry needs a password: place it NUL-terminated in buffer (size bytes,
   UNZIP_PASSWORD_BUFFER_SIZE) and return 0, or return 1 for none. Asked at most three
   times per entry; a password that worked is tried first for later entries. */
typedef int(UnzipPasswordFn)(char* buffer, int size, const char* prompt, const char* name);
/* One file entry of a listing: sizes, the compressed size in percent of the size
   (rounded, 0 for an empty entry, at most 32767), month 1-12, day, four-digit year,
   hour, minute, a flag character ('l' for a symbolic-link entry, else ' '), the entry
   name, the method name ("Stored", "Deflated", ...), the CRC-32 and an encryption
   character ('E', bit 0x40 set, when encrypted, else ' '). */
typedef void(UnzipMessageFn)(uint64_t ucsize, uint64_t csize, unsigned cfactor, unsigned mo,
                             unsigned dy, unsigned yr, unsigned hh, unsigned mm, char c,
                             const char* filename, const char* methbuf, unsigned long crc,
                             char fCrypt);
/* Called before each selected entry is listed, tested or extracted, with its name and
   the byte length of the name including its NUL. Return 1 to stop (code 80). */
typedef int(UnzipServiceFn)(const char* name, unsigned long size);

/* The callback record. Every callback may be null. The last five fields are filled by
   a listing: totals of the listed entries, their overall factor (as cfactor), their
   count and the length of the archive comment. */
typedef struct {
    UnzipPrintFn* print;
    UnzipSoundFn* sound;
    UnzipReplaceFn* replace;
    UnzipPasswordFn* password;
    UnzipMessageFn* SendApplicationMessage;
    UnzipServiceFn* ServCallBk;
    uint64_t TotalSizeComp;
    uint64_t TotalSize;
    unsigned CompressionFactor;
    unsigned long NumMembers;
    unsigned cchComment;
} USERFUNCTIONS;

/* Lists, tests or extracts the package lpDCL->lpszZipFN. ifnc/ifnv are the include
   patterns, xfnc/xfnv the exclude patterns: the first n strings of each table are used
   (a null or empty string ends a table early); the library never writes to them. */
int Wiz_SingleEntryUnzip(int ifnc, char** ifnv, int xfnc, char** xfnv, DCL* lpDCL,
                         USERFUNCTIONS* lpUserFunc);

#ifdef __cplusplus
}
#endif
