// Running the built program for the end-to-end tests.
#include "e2e/run_program.h"

#include <fcntl.h>
#include <iconv.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

TempTree::TempTree()
{
    char pattern[] = "/tmp/orva-e2e-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    root = pattern;
}

TempTree::~TempTree()
{
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

void TempTree::file(const std::string& relative, const std::string& contents)
{
    const std::filesystem::path full = std::filesystem::path(root) / relative;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream(full, std::ios::binary) << contents;
}

void TempTree::directory(const std::string& relative)
{
    std::filesystem::create_directories(std::filesystem::path(root) / relative);
}

void TempTree::times(const std::string& relative, long long seconds, long nanoseconds)
{
    const struct timespec both[2] = {{static_cast<time_t>(seconds), nanoseconds},
                                     {static_cast<time_t>(seconds), nanoseconds}};
    if (utimensat(AT_FDCWD, (root + "/" + relative).c_str(), both, AT_SYMLINK_NOFOLLOW) != 0)
        throw std::runtime_error("utimensat failed for " + relative);
}

void TempTree::sparse(const std::string& relative, long long size)
{
    file(relative);
    if (truncate((root + "/" + relative).c_str(), size) != 0)
        throw std::runtime_error("truncate failed for " + relative);
}

static std::vector<std::string> environment_for(const std::map<std::string, std::string>& overrides)
{
    std::map<std::string, std::string> variables = {{"PATH", "/usr/bin:/bin"}, {"TZ", "UTC"}, {"LANG", "C"}};
    for (const auto& [name, value] : overrides) {
        if (value.empty())
            variables.erase(name);
        else
            variables[name] = value;
    }
    std::vector<std::string> entries;
    for (const auto& [name, value] : variables)
        entries.push_back(name + "=" + value);
    return entries;
}

// Reads both pipes to their end together, so that neither can fill up and block the child.
static void drain(int out_fd, int err_fd, RunResult& result)
{
    struct pollfd fds[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open_count = 2;
    while (open_count > 0) {
        if (poll(fds, 2, -1) < 0)
            break;
        for (int i = 0; i < 2; i++) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            char buffer[4096];
            const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
            if (got <= 0) {
                close(fds[i].fd);
                fds[i].fd = -1;
                open_count--;
            } else {
                sinks[i]->append(buffer, static_cast<size_t>(got));
            }
        }
    }
}

RunResult run_orva(const std::vector<std::string>& arguments, const std::string& cwd,
                   const std::map<std::string, std::string>& env)
{
    int out_pipe[2], err_pipe[2];
    if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0)
        throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out_pipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err_pipe[1], 2);
    posix_spawn_file_actions_addclose(&actions, out_pipe[0]);
    posix_spawn_file_actions_addclose(&actions, err_pipe[0]);
    posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());

    std::vector<std::string> words = {ORVA_BINARY};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment = environment_for(env);
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    // A session of its own: the program finds no controlling terminal, so it can never
    // wait for keys from the terminal the tests run in.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t child;
    const int spawned = posix_spawn(&child, ORVA_BINARY, &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(out_pipe[1]);
    close(err_pipe[1]);
    if (spawned != 0)
        throw std::runtime_error("posix_spawn failed");
    RunResult result;
    drain(out_pipe[0], err_pipe[0], result);
    int status = 0;
    waitpid(child, &status, 0);
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    return result;
}

std::string expected_file(const std::string& name)
{
    std::ifstream input(std::string(ORVA_EXPECTED_DIR) + "/" + name, std::ios::binary);
    std::stringstream contents;
    contents << input.rdbuf();
    return contents.str();
}

std::string to_cp932(const std::string& utf8)
{
    iconv_t converter = iconv_open("CP932", "UTF-8");
    std::string input = utf8;
    std::string output(input.size() * 2 + 16, '\0');
    char* in = input.data();
    size_t in_left = input.size();
    char* out = output.data();
    size_t out_left = output.size();
    const size_t converted = iconv(converter, &in, &in_left, &out, &out_left);
    iconv_close(converter);
    if (converted == static_cast<size_t>(-1))
        throw std::runtime_error("text cannot be written in CP932");
    output.resize(output.size() - out_left);
    return output;
}
