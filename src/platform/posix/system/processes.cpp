// The command interpreter of /X on POSIX, and the host form of the paths it is given.
//
// The Windows interpreter names the program falls back to (COMMAND.COM, CMD.EXE) mean
// /bin/sh here. The child gets the default action for SIGINT back, so Ctrl+C can stop
// a command while the program itself goes on ignoring it; the terminal has its normal
// mode while the child runs.
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <strings.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/command_start.h"
#include "platform/posix/console/followed_streams.h"
#include "platform/posix/console/terminal.h"
#include "platform/posix/paths/names.h"
#include "platform/posix/paths/path_lookup.h"
#include "platform/posix/searches/table_cache.h"
#include "platform/posix/system/shell_words.h"

extern char** environ;

static bool is_windows_interpreter_name(const char* interpreter)
{
    const char* name = name_after_last(interpreter, interpreter + strlen(interpreter), "\\/:");
    return strcasecmp(name, "COMMAND.COM") == 0 || strcasecmp(name, "CMD.EXE") == 0;
}

// A bare name is searched in PATH; a Windows path is looked up like any other path.
static std::string host_program_of(const char* interpreter)
{
    if (is_windows_interpreter_name(interpreter))
        return "/bin/sh";
    if (name_after_last(interpreter, interpreter + strlen(interpreter), "\\:") == interpreter)
        return interpreter;
    WindowsPath path;
    ResolvedPath resolved;
    if (resolve_path(interpreter, &path, &resolved) != ERROR_SUCCESS)
        return interpreter;
    return resolved.host;
}

// Whether a program name without a directory stands in a directory of PATH.
static bool stands_on_path(const std::string& name)
{
    const char* path = getenv("PATH");
    std::string directories = path != nullptr ? path : "";
    for (size_t start = 0; start <= directories.size();) {
        size_t end = directories.find(':', start);
        if (end == std::string::npos)
            end = directories.size();
        const std::string directory = end > start ? directories.substr(start, end - start) : ".";
        if (access((directory + "/" + name).c_str(), F_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

static int spawn_and_wait(const std::string& program, const char* command)
{
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    char* arguments[] = {const_cast<char*>(program.c_str()), const_cast<char*>("-c"), const_cast<char*>(command),
                         nullptr};
    pid_t child = 0;
    const bool searched = program.find('/') == std::string::npos;
    const int error = searched ? posix_spawnp(&child, program.c_str(), nullptr, &attributes, arguments, environ)
                               : posix_spawn(&child, program.c_str(), nullptr, &attributes, arguments, environ);
    posix_spawnattr_destroy(&attributes);
    // The search reports EACCES when a directory of PATH may not be searched, even where
    // the program stands nowhere; Windows calls that not found.
    if (error == EACCES && searched && !stands_on_path(program))
        return ENOENT;
    if (error != 0)
        return error;
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return 0;
}

// Windows hands the command to the interpreter as it stands; here the names in it reach
// the shell as literal words (see shell_words.cpp), so a file name never runs as code.
CommandStartResult run_command_interpreter(const char* interpreter, const char* command, const CommandWord* words,
                                           uint32_t word_count)
{
    const std::string program = host_program_of(interpreter);
    const std::string script = word_count > 0 ? shell_script_with_words(command, words, word_count) : command;
    suspend_key_mode();
    const int error = spawn_and_wait(program, script.c_str());
    resume_key_mode();
    take_lines_as_ended();
    // The command may have changed any directory behind the layer's back.
    forget_all_directories();
    return error == 0 ? COMMAND_STARTED : command_start_failure(error);
}

bool command_words_are_literal()
{
    return true;
}

static size_t copy_bounded(const std::string& text, char* out, size_t out_size)
{
    if (out_size > 0) {
        const size_t used = text.size() < out_size - 1 ? text.size() : out_size - 1;
        memcpy(out, text.data(), used);
        out[used] = '\0';
    }
    return text.size();
}

// Components that exist take the host's spelling (so a short or differently cased name
// reaches the right file); the rest stays as written.
size_t command_path_text(const char* windows_path, char* out, size_t out_size)
{
    WindowsPath path;
    if (parse_windows_path(windows_path, true, &path) != ERROR_SUCCESS) {
        std::string text(windows_path);
        for (size_t i = 0; i < text.size(); i += character_length(&text[i], text.data() + text.size())) {
            if (text[i] == '\\')
                text[i] = '/';
        }
        return copy_bounded(text, out, out_size);
    }
    std::string text = literal_host_path(path, path.components.size());
    size_t existing = path.components.size();
    ResolvedPath resolved;
    while (existing > 0 && (resolve_components(path, existing, &resolved) != ERROR_SUCCESS || !resolved.exists))
        existing--;
    if (existing > 0)
        text = resolved.host + text.substr(literal_host_path(path, existing).size());
    if (path.trailing_separator && !path.components.empty())
        text.push_back('/');
    if (!path.rooted && path.components.empty() && path.leading_parents == 0)
        text = path.trailing_separator ? "./" : ".";
    return copy_bounded(text, out, out_size);
}

size_t command_name_text(const char* windows_name, size_t length, char* out, size_t out_size)
{
    std::string text;
    host_name_of(windows_name, length, text);
    return copy_bounded(text, out, out_size);
}
