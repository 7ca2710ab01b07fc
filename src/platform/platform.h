// The program's one door to the operating system: the Windows interfaces it calls.
//
// On Windows these are <windows.h> itself. Elsewhere our POSIX layer provides the same
// names with the same behaviour. The few places where the two systems must differ stand
// behind the small functions declared below, each with a Windows and a POSIX version.
#pragma once

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include "posix/windows_api.h"
#endif

// The start-up convention of the command line: Windows hands the arguments over as
// typed; the POSIX layer turns every '/' into '\' in the arguments that do not begin
// with '/', so that host paths such as src/sub reach the program as Windows paths. It
// also ignores SIGXFSZ, so that a write past the file size limit fails like any write,
// starts watching for the requests to end the run (below), and starts following the
// cursor of the terminals standard output and error write to, as a console keeps its
// cursor: however the run ends, a line it leaves open on a terminal is ended there
// (never in a file or pipe), so that the shell's prompt does not join it.
void prepare_arguments(int argc, char** argv);

// Whether a request from outside to end the run has come: on POSIX SIGTERM, SIGHUP,
// SIGQUIT or SIGPIPE (a wait for a key then ends at once, reading nothing); on Windows
// the console's close, logoff or shutdown event. The program stops the run as ESC does.
bool termination_requested();

// Once the run has stopped, ends the process as the request would have ended it: on
// POSIX the terminal's mode is given back and the signal raised again with its default
// action, so the shell sees 128 plus its number; on Windows with the status Windows gives
// a process it ends for the event. Returns when nothing was requested.
void end_as_requested();

// The two arguments every tool of the host answers, whatever else the command line
// holds: on POSIX exactly "--help" (the help, as /?) and "--version" (the version line).
// Windows has no such convention: there they are paths like any other.
enum HostRequest { HOST_REQUEST_NONE = 0, HOST_REQUEST_HELP, HOST_REQUEST_VERSION };
HostRequest host_request(const char* argument);

// An argument refused as an option may be a host path typed as the host's tools take it:
// on POSIX a leading '/' always starts an option, and "/tmp/x" is written "Z:/tmp/x".
// When argument names an existing host entry, writes the form the program takes as a
// path to out and returns true; false otherwise, or when the form does not fit. Windows
// paths never begin with '/': there the result is always false.
bool windows_form_of_host_path(const char* argument, char* out, size_t out_size);

// Moves the cursor of a console back over a number of character cells, so that the
// progress text just printed is overwritten by the next. Windows moves it on the screen
// buffer, whole rows first, then the column, which stops at the left edge. The POSIX
// layer sends the terminal's relative cursor moves from the position it followed over
// what was written there, and where the text wrapped at the right margin it goes back up
// to the row the text began on. Nothing happens when the handle is no console.
void console_cursor_back(HANDLE console, int cells);

// Blanks the cursor's row of a console and leaves the cursor at its column 0. Windows
// prints the blanks through stream. The POSIX layer erases on the terminal every row of
// the line the cursor is in, which a long progress text may have wrapped onto, and leaves
// the cursor at column 0 of its first row; the Windows console does not say where a
// wrapped text began.
void console_clear_row(HANDLE console, FILE* stream);

// The line the POSIX layer writes on standard error for each name a search leaves out
// because the code page cannot show it: a printf format that takes the directory, in the
// language the program chose, handed over once the options are read and before the first
// search (until then no such line is written). Windows shows every name: nothing to do.
void set_unshown_name_line(const char* line_format);

// Identity: whether two paths name the same file, directory or link: the same device and
// inode on POSIX, the same volume serial number and file index on Windows. Links on the
// way are followed; a link at the end is the entry itself, so that a link and what it
// leads to are two entries. False when either cannot be read. A link, a mount, an alias or
// a drive mapping gives one file many path texts, so the texts alone never say it.
bool same_entry(const char* a, const char* b);
// The same for two open files: whether both handles read the one file. Asked after the
// opens, it costs no lookup of either path, and it names the files the handles read even
// when an entry was replaced after it was found.
bool same_open_file(HANDLE a, HANDLE b);

// How many directory levels the directory at path lies below the directory at ancestor,
// by identity, following every link on the way: 0 when they are the same directory, -1
// when path is not inside ancestor or either cannot be read. The components at the end of
// path that do not exist yet count as levels below the part that does.
int levels_below(const char* path, const char* ancestor);

// The end of a directory's copy, once everything in it has been copied: on POSIX the copy
// takes its source's permission bits only now, so that a read-only source directory's copy
// could take its files (CreateDirectoryExA leaves it open to its owner until then).
// Windows keeps no such bits on directories: nothing to do there. False when the bits
// could not be set; the directory and its contents stand all the same.
bool finish_directory_copy(const char* source_directory, const char* destination_directory);

// Whether the run looks at the hidden, system and archive bits of the files its searches
// return. Windows keeps them with each entry and reports them at no cost, so there this
// does nothing. The POSIX layer stores them apart, in an extended attribute that costs a
// host call of its own, and reads it in searches only for a run that wants them: told
// no, a file's record carries the bits of a file without stored ones (hidden for a dot
// name; read-only is the owner's write permission and is always true). Directories,
// whose read-only bit is a stored one, and every other call (GetFileAttributesA among
// them) read the stored bits always. Set once, before the first search.
void searches_read_file_attributes(bool wanted);
// A run that copies only some of the files it walks (update) leaves them unread too, and
// completes the record of a file it copies from the open source before it uses its
// attributes: on POSIX that one file's stored bits are read then; Windows has nothing to add.
void complete_file_attributes(HANDLE source, WIN32_FIND_DATAA* record);

#include <cstddef>
#include <cstdint>

// The walk's paths are a root the user typed (the source directory, the destination)
// followed by names its searches returned. Windows matches every name without case, so
// there this does nothing. The POSIX layer, where README and readme are two files,
// matches each name after a root registered with NAMES_FROM_SEARCHES exactly and only
// exactly, so that a path built from one file's name never reaches its twin or a file
// whose alias the name happens to be. The root's own components, the names after a root
// registered with NAMES_AS_TYPED (the upper-case 8.3 forms) and every path that begins
// with no registered root are found as typed names are: exactly, else the one entry
// that matches without case or by alias. Roots are registered once, after the lookups
// of what the user typed.
//
// DESTINATION_NAMES is NAMES_FROM_SEARCHES for a root of whose entries the program reads
// only the kind, the size and the times: never the short name, nor the attributes a file
// system keeps beside them (a directory's read-only bit; hidden, system, archive).
// Windows reports them anyway. The POSIX layer then reads a search for one such entry
// (the destination of a source entry) from its path alone, without its directory's
// table, which only the short name needs, and without the extended attribute that
// stores those bits (a file's read-only bit, its permission bits', is still there).
enum RootNames { NAMES_FROM_SEARCHES, NAMES_AS_TYPED, DESTINATION_NAMES };
void register_path_root(const char* root, size_t length, RootNames names_after_root);

// Command execution (/X): runs the command interpreter with its "/c" switch and the
// command, in the current directory with the program's environment, and waits for it.
// The interpreter's exit code is not wanted; the result says whether it could be
// started at all.
enum CommandStartResult {
    COMMAND_STARTED = 0,
    COMMAND_NOT_FOUND,       // ENOENT: the program or its path does not exist
    COMMAND_TOO_LONG,        // E2BIG: the command line is too long
    COMMAND_NOT_EXECUTABLE,  // ENOEXEC: not a program the system can run
    COMMAND_NO_MEMORY,       // ENOMEM
    COMMAND_INVALID_MODE,    // EINVAL
    COMMAND_OTHER_FAILURE
};
// Where the text a path variable put in stands in the command: bytes start to end.
struct CommandWord {
    uint32_t start;
    uint32_t end;
};
// interpreter: COMSPEC's value, or the fallback name COMMAND.COM or CMD.EXE (on POSIX
// those names mean /bin/sh, and "/c" becomes "-c"). command: the text after "/c ".
// On POSIX each word reaches the shell as one literal word, whatever it holds and
// whether it stands bare, in "..." or in '...': a file name never runs as code. Windows
// hands the command to its interpreter as it stands (cmd.exe has its own rules).
CommandStartResult run_command_interpreter(const char* interpreter, const char* command, const CommandWord* words,
                                           uint32_t word_count);
// True where the words of a command reach it literally (POSIX): no '$' in a name needs
// doubling for the interpreter, and "$$" would be the shell's own.
bool command_words_are_literal();

// The text of a path for a command line: on Windows the path itself; on POSIX its host
// form ('/' separators, no drive, the host's spelling of every existing component), so
// that the shell can use it. Writes at most out_size bytes with the terminator and
// returns the length of the whole text, like snprintf.
size_t command_path_text(const char* windows_path, char* out, size_t out_size);
// The same for a part of a name (a base, an extension), which is not looked up: on POSIX
// the characters a Windows name cannot hold turn back into the host's.
size_t command_name_text(const char* windows_name, size_t length, char* out, size_t out_size);

// Symbolic links met in the walk are copied, moved and compared as links, with the same
// target text, and never followed, as cp -a and rsync -a do: a link may lead outside the
// tree, or nowhere. Such an entry's find record carries FILE_ATTRIBUTE_REPARSE_POINT with
// the tag IO_REPARSE_TAG_SYMLINK in dwReserved0, on both systems.
//
// Makes destination, which must not exist, a link with the same target text as the link
// source, with the source link's own times where the system keeps a link's times.
// Windows copies it with CopyFileExA and COPY_FILE_COPY_SYMLINK; the POSIX layer reads
// and writes the target text. FALSE with GetLastError after a failure, which leaves
// nothing at destination.
BOOL copy_symbolic_link(LPCSTR source, LPCSTR destination);

// Whether destination is a link with the same target as the link source: the same target
// text on POSIX, the same reparse data on Windows. An entry that is no link is different
// from every link. When either cannot be read, GetLastError says why.
enum LinkComparison { LINKS_DIFFERENT = 0, LINKS_SAME, LINK_SOURCE_UNREADABLE, LINK_DESTINATION_UNREADABLE };
LinkComparison compare_link_targets(LPCSTR source, LPCSTR destination);
