// The host working directory in its Windows form.
#include <cerrno>
#include <cstring>
#include <unistd.h>

#include "platform/posix/current_directory.h"
#include "platform/posix/names.h"

static void append_windows_name(std::string& text, const char* host_name)
{
    char shown[MAX_PATH * 3];
    size_t length = 0;
    // A name the code page cannot show stays as the host spells it: the directory is
    // still named, though the program may not reach it by that text.
    if (windows_name_of(host_name, shown, sizeof shown, &length))
        text.append(shown, length);
    else
        text += host_name;
}

DWORD windows_current_directory(std::string& text)
{
    char host[4096];
    if (getcwd(host, sizeof host) == nullptr)
        return errno == ERANGE ? ERROR_FILENAME_EXCED_RANGE : ERROR_PATH_NOT_FOUND;
    text = std::string("Z:\\");
    std::string name;
    bool first = true;
    for (char* p = host + 1;; p++) {
        if (*p != '/' && *p != '\0') {
            name.push_back(*p);
            continue;
        }
        if (!name.empty()) {
            if (!first)
                text.push_back('\\');
            append_windows_name(text, name.c_str());
            first = false;
            name.clear();
        }
        if (*p == '\0')
            break;
    }
    return ERROR_SUCCESS;
}

DWORD copy_to_caller(const std::string& text, LPSTR buffer, DWORD buffer_length)
{
    if (buffer == nullptr || buffer_length < text.size() + 1)
        return static_cast<DWORD>(text.size() + 1);
    memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}
