// Interfaces of the layer that are not built yet: each fails with
// ERROR_CALL_NOT_IMPLEMENTED, so that the program reports a clean error.
#include "platform/platform.h"

static BOOL not_built()
{
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

BOOL GetConsoleMode(HANDLE, LPDWORD) { return not_built(); }
BOOL SetConsoleMode(HANDLE, DWORD) { return not_built(); }
BOOL ReadConsoleInputA(HANDLE, PINPUT_RECORD, DWORD, LPDWORD) { return not_built(); }
BOOL PeekConsoleInputA(HANDLE, PINPUT_RECORD, DWORD, LPDWORD) { return not_built(); }
BOOL MessageBeep(UINT) { return not_built(); }

HANDLE FindFirstFileA(LPCSTR, LPWIN32_FIND_DATAA)
{
    not_built();
    return INVALID_HANDLE_VALUE;
}
BOOL FindNextFileA(HANDLE, LPWIN32_FIND_DATAA) { return not_built(); }
BOOL FindClose(HANDLE) { return not_built(); }

DWORD GetFullPathNameA(LPCSTR, DWORD, LPSTR, LPSTR*) { return not_built(); }
DWORD GetShortPathNameA(LPCSTR, LPSTR, DWORD) { return not_built(); }

DWORD GetFileAttributesA(LPCSTR)
{
    not_built();
    return INVALID_FILE_ATTRIBUTES;
}
BOOL SetFileAttributesA(LPCSTR, DWORD) { return not_built(); }

HANDLE CreateFileA(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)
{
    not_built();
    return INVALID_HANDLE_VALUE;
}
BOOL ReadFile(HANDLE, LPVOID, DWORD, LPDWORD, void*) { return not_built(); }
BOOL WriteFile(HANDLE, LPCVOID, DWORD, LPDWORD, void*) { return not_built(); }
DWORD SetFilePointer(HANDLE, LONG, PLONG, DWORD)
{
    not_built();
    return INVALID_SET_FILE_POINTER;
}
BOOL CloseHandle(HANDLE) { return not_built(); }
BOOL GetFileTime(HANDLE, LPFILETIME, LPFILETIME, LPFILETIME) { return not_built(); }
BOOL SetFileTime(HANDLE, const FILETIME*, const FILETIME*, const FILETIME*) { return not_built(); }
BOOL DeleteFileA(LPCSTR) { return not_built(); }
BOOL MoveFileA(LPCSTR, LPCSTR) { return not_built(); }
BOOL CreateDirectoryA(LPCSTR, LPSECURITY_ATTRIBUTES) { return not_built(); }
BOOL CreateDirectoryExA(LPCSTR, LPCSTR, LPSECURITY_ATTRIBUTES) { return not_built(); }
BOOL RemoveDirectoryA(LPCSTR) { return not_built(); }
