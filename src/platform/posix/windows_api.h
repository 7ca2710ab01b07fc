// The Windows types, constants and functions the program calls, as our POSIX layer provides them.
//
// Only the subset the program uses is here, with the names, layouts and meanings of
// <windows.h>, so that the program's sources build unchanged on both systems.
#pragma once

#include <cstdint>

typedef int BOOL;
typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef int16_t SHORT;
typedef unsigned int UINT;
typedef char CHAR;
typedef uint16_t WCHAR;
typedef void* HANDLE;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef DWORD* LPDWORD;
typedef LONG* PLONG;
typedef WORD LANGID;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define MAX_PATH 260

// Languages: the primary language in the low 10 bits, the region above them.
#define LANG_ENGLISH 0x09
#define LANG_JAPANESE 0x11
#define SUBLANG_ENGLISH_US 0x01
#define SUBLANG_JAPANESE_JAPAN 0x01
#define MAKELANGID(primary, sub) ((WORD)((sub) << 10 | (primary)))
#define PRIMARYLANGID(language) ((WORD)(language) & 0x3FF)

#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)
#define STD_INPUT_HANDLE ((DWORD)-10)
#define STD_OUTPUT_HANDLE ((DWORD)-11)
#define STD_ERROR_HANDLE ((DWORD)-12)

// Error codes (GetLastError).
#define ERROR_SUCCESS 0
#define ERROR_INVALID_FUNCTION 1
#define ERROR_FILE_NOT_FOUND 2
#define ERROR_PATH_NOT_FOUND 3
#define ERROR_TOO_MANY_OPEN_FILES 4
#define ERROR_ACCESS_DENIED 5
#define ERROR_INVALID_HANDLE 6
#define ERROR_NOT_ENOUGH_MEMORY 8
#define ERROR_NOT_SAME_DEVICE 17
#define ERROR_NO_MORE_FILES 18
#define ERROR_WRITE_PROTECT 19
#define ERROR_GEN_FAILURE 31
#define ERROR_SHARING_VIOLATION 32
#define ERROR_NOT_SUPPORTED 50
#define ERROR_FILE_EXISTS 80
#define ERROR_INVALID_PARAMETER 87
#define ERROR_DISK_FULL 112
#define ERROR_FILE_TOO_LARGE 223
#define ERROR_INSUFFICIENT_BUFFER 122
#define ERROR_INVALID_NAME 123
#define ERROR_NEGATIVE_SEEK 131
#define ERROR_DIR_NOT_EMPTY 145
#define ERROR_ALREADY_EXISTS 183
#define ERROR_FILENAME_EXCED_RANGE 206
#define ERROR_DIRECTORY 267
#define ERROR_IO_DEVICE 1117
#define ERROR_CANT_RESOLVE_FILENAME 1921
#define ERROR_CALL_NOT_IMPLEMENTED 120

// File attributes.
#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_HIDDEN 0x00000002
#define FILE_ATTRIBUTE_SYSTEM 0x00000004
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define FILE_ATTRIBUTE_REPARSE_POINT 0x00000400
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)

// The reparse tag of a symbolic link, in dwReserved0 of a find record with the reparse-point bit.
#define IO_REPARSE_TAG_SYMLINK 0xA000000Cu

// CreateFileA access, sharing, dispositions and flags.
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5
#define FILE_FLAG_WRITE_THROUGH 0x80000000u
#define FILE_FLAG_SEQUENTIAL_SCAN 0x08000000u
#define FILE_FLAG_BACKUP_SEMANTICS 0x02000000u
#define FILE_FLAG_OPEN_REPARSE_POINT 0x00200000u

// SetFilePointer.
#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2
#define INVALID_SET_FILE_POINTER ((DWORD)-1)

// Code pages.
#define CP_UTF8 65001

// Console input events.
#define KEY_EVENT 0x0001

// MessageBeep.
#define MB_OK 0x00000000u

typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME, *LPFILETIME;
typedef const FILETIME* LPCFILETIME;

typedef struct _SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
} SYSTEMTIME, *LPSYSTEMTIME;
typedef const SYSTEMTIME* LPCSYSTEMTIME;

typedef struct _WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    CHAR cFileName[MAX_PATH];
    CHAR cAlternateFileName[14];
} WIN32_FIND_DATAA, *LPWIN32_FIND_DATAA;

typedef struct _SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

typedef struct _COORD {
    SHORT X;
    SHORT Y;
} COORD;

typedef struct _SMALL_RECT {
    SHORT Left;
    SHORT Top;
    SHORT Right;
    SHORT Bottom;
} SMALL_RECT;

typedef struct _CONSOLE_SCREEN_BUFFER_INFO {
    COORD dwSize;
    COORD dwCursorPosition;
    WORD wAttributes;
    SMALL_RECT srWindow;
    COORD dwMaximumWindowSize;
} CONSOLE_SCREEN_BUFFER_INFO, *PCONSOLE_SCREEN_BUFFER_INFO;

typedef struct _KEY_EVENT_RECORD {
    BOOL bKeyDown;
    WORD wRepeatCount;
    WORD wVirtualKeyCode;
    WORD wVirtualScanCode;
    union {
        WCHAR UnicodeChar;
        CHAR AsciiChar;
    } uChar;
    DWORD dwControlKeyState;
} KEY_EVENT_RECORD;

typedef struct _INPUT_RECORD {
    WORD EventType;
    union {
        KEY_EVENT_RECORD KeyEvent;
    } Event;
} INPUT_RECORD, *PINPUT_RECORD;

// Errors.
DWORD GetLastError(void);
void SetLastError(DWORD code);

// Code pages and characters.
UINT GetACP(void);
UINT GetConsoleOutputCP(void);
BOOL IsDBCSLeadByte(BYTE test_char);
LPSTR CharNextA(LPCSTR current);
LPSTR CharUpperA(LPSTR text);
LANGID GetUserDefaultUILanguage(void);

// Console.
HANDLE GetStdHandle(DWORD which);
BOOL GetConsoleScreenBufferInfo(HANDLE console, PCONSOLE_SCREEN_BUFFER_INFO info);
BOOL SetConsoleTextAttribute(HANDLE console, WORD attributes);
BOOL SetConsoleCursorPosition(HANDLE console, COORD position);
BOOL GetConsoleMode(HANDLE console, LPDWORD mode);
BOOL SetConsoleMode(HANDLE console, DWORD mode);
BOOL ReadConsoleInputA(HANDLE console, PINPUT_RECORD buffer, DWORD length, LPDWORD read);
BOOL PeekConsoleInputA(HANDLE console, PINPUT_RECORD buffer, DWORD length, LPDWORD read);
BOOL MessageBeep(UINT type);

// Time.
void GetLocalTime(LPSYSTEMTIME time);
void GetSystemTime(LPSYSTEMTIME time);
BOOL SystemTimeToFileTime(const SYSTEMTIME* system_time, LPFILETIME file_time);
BOOL FileTimeToSystemTime(const FILETIME* file_time, LPSYSTEMTIME system_time);
BOOL FileTimeToLocalFileTime(const FILETIME* file_time, LPFILETIME local_file_time);
BOOL LocalFileTimeToFileTime(const FILETIME* local_file_time, LPFILETIME file_time);
DWORD GetTickCount(void);
void Sleep(DWORD milliseconds);

// System.
DWORD GetVersion(void);
DWORD GetCurrentDirectoryA(DWORD buffer_length, LPSTR buffer);

// Directory searches.
HANDLE FindFirstFileA(LPCSTR file_name, LPWIN32_FIND_DATAA find_data);
BOOL FindNextFileA(HANDLE search, LPWIN32_FIND_DATAA find_data);
BOOL FindClose(HANDLE search);

// Paths.
DWORD GetFullPathNameA(LPCSTR file_name, DWORD buffer_length, LPSTR buffer, LPSTR* file_part);
DWORD GetShortPathNameA(LPCSTR long_path, LPSTR short_path, DWORD buffer_length);

// Attributes.
DWORD GetFileAttributesA(LPCSTR file_name);
BOOL SetFileAttributesA(LPCSTR file_name, DWORD attributes);

// Files and directories.
HANDLE CreateFileA(LPCSTR file_name, DWORD access, DWORD share_mode, LPSECURITY_ATTRIBUTES security,
                   DWORD creation_disposition, DWORD flags_and_attributes, HANDLE template_file);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD to_read, LPDWORD read, void* overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD to_write, LPDWORD written, void* overlapped);
DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distance_high, DWORD move_method);
BOOL CloseHandle(HANDLE object);
BOOL GetFileTime(HANDLE file, LPFILETIME creation, LPFILETIME last_access, LPFILETIME last_write);
BOOL SetFileTime(HANDLE file, const FILETIME* creation, const FILETIME* last_access,
                 const FILETIME* last_write);
BOOL DeleteFileA(LPCSTR file_name);
BOOL MoveFileA(LPCSTR existing_name, LPCSTR new_name);
BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES security);
BOOL CreateDirectoryExA(LPCSTR template_directory, LPCSTR new_directory, LPSECURITY_ATTRIBUTES security);
BOOL RemoveDirectoryA(LPCSTR path);
