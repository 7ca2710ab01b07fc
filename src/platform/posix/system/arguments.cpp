// POSIX start-up conventions for the command line.
//
// A leading '/' always starts an option, so a host path is typed with '/' inside
// (src/sub, Z:/home/u); the program expects Windows separators there, and gets them.
// Every tool here answers --help and --version; only those two exact words are taken,
// so any other argument that begins with '-' stays a path, as on Windows.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

#include "platform/platform.h"
#include "platform/posix/console/followed_streams.h"
#include "platform/posix/paths/current_directory.h"
#include "platform/posix/system/termination.h"

void prepare_arguments(int argc, char** argv)
{
    // A write past the file size limit (ulimit -f) must fail as WriteFile fails on
    // Windows, not end the process in the middle of a copy with its partial file left.
    signal(SIGXFSZ, SIG_IGN);
    catch_termination_signals();
    follow_standard_streams();
    for (int i = 1; i < argc; i++) {
        if (argv[i][0] == '/')
            continue;
        for (char* p = argv[i]; *p != '\0'; p++) {
            if (*p == '/')
                *p = '\\';
        }
    }
}

HostRequest host_request(const char* argument)
{
    if (strcmp(argument, "--help") == 0)
        return HOST_REQUEST_HELP;
    if (strcmp(argument, "--version") == 0)
        return HOST_REQUEST_VERSION;
    return HOST_REQUEST_NONE;
}

// Drive Z: is the host root, so the host path itself after "Z:" names the same entry,
// each name in its Windows form: a '\' in a host name would otherwise read as a separator.
bool windows_form_of_host_path(const char* argument, char* out, size_t out_size)
{
    struct stat status;
    std::string form;
    if (argument[0] != '/' || lstat(argument, &status) != 0 || !windows_form_of_host(argument, '/', form))
        return false;
    return snprintf(out, out_size, "%s", form.c_str()) < static_cast<int>(out_size);
}
