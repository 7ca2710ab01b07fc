// user.DOSATTRIB: hidden, system and archive (and a directory's read-only) as hex text.
//
// The value is written as "0x22", the text form older Samba servers use, so a share
// exported by Samba shows the same attributes to Windows clients. Newer binary forms
// are not read: such an entry shows its defaults.
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/posix/files/dos_attributes.h"

static const char ATTRIBUTE_NAME[] = "user.DOSATTRIB";

static bool parse_bits(const char* value, ssize_t length, DWORD* bits)
{
    if (length < 3 || value[0] != '0' || (value[1] != 'x' && value[1] != 'X'))
        return false;
    char text[32];
    const size_t used = static_cast<size_t>(length) < sizeof text - 1 ? static_cast<size_t>(length) : sizeof text - 1;
    memcpy(text, value, used);
    text[used] = '\0';
    char* end = nullptr;
    const unsigned long parsed = strtoul(text + 2, &end, 16);
    if (end == text + 2)
        return false;
    *bits = static_cast<DWORD>(parsed) & STORED_DIRECTORY_BITS;
    return true;
}

bool read_stored_bits(const char* host_path, DWORD* bits)
{
    char value[64];
    const ssize_t length = getxattr(host_path, ATTRIBUTE_NAME, value, sizeof value);
    return length > 0 && parse_bits(value, length, bits);
}

bool read_stored_bits_on(int fd, DWORD* bits)
{
    char value[64];
    const ssize_t length = fgetxattr(fd, ATTRIBUTE_NAME, value, sizeof value);
    return length > 0 && parse_bits(value, length, bits);
}

// getxattrat (Linux 6.13) reads an attribute relative to a directory descriptor; older
// kernels answer ENOSYS once and the path is used from then on.
#ifndef SYS_getxattrat
#define SYS_getxattrat 464
#endif

struct XattrArguments {
    uint64_t value;
    uint32_t size;
    uint32_t flags;
};

// Read by the searches' reader thread too.
static std::atomic<bool> has_getxattrat{true};

bool read_stored_bits_at(int directory_fd, const char* name, const char* host_path, DWORD* bits)
{
    if (has_getxattrat && name[0] != '\0') {
        char value[64];
        XattrArguments arguments = {reinterpret_cast<uintptr_t>(value), sizeof value, 0};
        const long length = syscall(SYS_getxattrat, directory_fd, name, 0, ATTRIBUTE_NAME, &arguments, sizeof arguments);
        if (length >= 0 || errno != ENOSYS)
            return length > 0 && parse_bits(value, length, bits);
        has_getxattrat = false;
    }
    return read_stored_bits(host_path, bits);
}

static int format_bits(DWORD bits, char* text, size_t size)
{
    return snprintf(text, size, "0x%x", static_cast<unsigned>(bits));
}

int store_bits(const char* host_path, DWORD bits)
{
    char text[16];
    const int length = format_bits(bits, text, sizeof text);
    return setxattr(host_path, ATTRIBUTE_NAME, text, static_cast<size_t>(length), 0) == 0 ? 0 : errno;
}

int store_bits_on(int fd, DWORD bits)
{
    char text[16];
    const int length = format_bits(bits, text, sizeof text);
    return fsetxattr(fd, ATTRIBUTE_NAME, text, static_cast<size_t>(length), 0) == 0 ? 0 : errno;
}

DWORD default_bits(const char* name, bool is_directory)
{
    DWORD bits = name[0] == '.' ? FILE_ATTRIBUTE_HIDDEN : 0;
    if (!is_directory)
        bits |= FILE_ATTRIBUTE_ARCHIVE;
    return bits;
}
