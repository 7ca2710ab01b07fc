// The host working directory in its Windows form.
#include <cerrno>
#include <cstring>
#include <unistd.h>

#include "platform/posix/paths/current_directory.h"
#include "platform/posix/paths/names.h"

bool windows_form_of_host(const char* host_path, char separator, std::string& text)
{
    text = "Z:";
    bool shown_whole = true;
    std::string name;
    for (const char* p = host_path;; p++) {
        if (*p != '/' && *p != '\0') {
            name.push_back(*p);
            continue;
        }
        if (!name.empty()) {
            char shown[MAX_PATH * 3];
            size_t length = 0;
            // A name the code page cannot show stays as the host spells it: the entry is
            // still named, though the program may not reach it by that text.
            if (windows_name_of(name.c_str(), shown, sizeof shown, &length)) {
                text.append(shown, length);
            } else {
                text += name;
                shown_whole = false;
            }
            name.clear();
        }
        if (*p == '\0')
            return shown_whole;
        text.push_back(separator);
    }
}

DWORD windows_current_directory(std::string& text)
{
    char host[4096];
    if (getcwd(host, sizeof host) == nullptr)
        return errno == ERANGE ? ERROR_FILENAME_EXCED_RANGE : ERROR_PATH_NOT_FOUND;
    windows_form_of_host(host, '\\', text);
    return ERROR_SUCCESS;
}

DWORD copy_to_caller(const std::string& text, LPSTR buffer, DWORD buffer_length)
{
    if (buffer == nullptr || buffer_length < text.size() + 1)
        return static_cast<DWORD>(text.size() + 1);
    memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}
