// Running the built program for the end-to-end tests.
#include "e2e/run_program.h"

#include "e2e/known_differences.h"

#include <fcntl.h>
#include <iconv.h>
#include <poll.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <stdexcept>

TempTree::TempTree() : root("/tmp/orva-e2e-XXXXXX")
{
    if (mkdtemp(root.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
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

void TempTree::link(const std::string& relative, const std::string& target)
{
    const std::filesystem::path full = std::filesystem::path(root) / relative;
    std::filesystem::create_directories(full.parent_path());
    if (symlink(target.c_str(), full.c_str()) != 0)
        throw std::runtime_error("symlink failed for " + relative);
}

void TempTree::mode(const std::string& relative, unsigned mode)
{
    if (fchmodat(AT_FDCWD, (root + "/" + relative).c_str(), mode, 0) != 0)
        throw std::runtime_error("chmod failed for " + relative);
}

void TempTree::stored_bits(const std::string& relative, const std::string& value)
{
    if (setxattr((root + "/" + relative).c_str(), "user.DOSATTRIB", value.data(), value.size(), 0) != 0)
        throw std::runtime_error("setxattr failed for " + relative);
}

void TempTree::give_to_nobody()
{
    const struct passwd* nobody = getpwnam("nobody");
    if (nobody == nullptr)
        throw std::runtime_error("no user nobody");
    if (lchown(root.c_str(), nobody->pw_uid, nobody->pw_gid) != 0)
        throw std::runtime_error("lchown failed for " + root);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (lchown(entry.path().c_str(), nobody->pw_uid, nobody->pw_gid) != 0)
            throw std::runtime_error("lchown failed for " + entry.path().string());
    }
}

void TempTree::files_at(std::initializer_list<std::pair<std::string, std::string>> entries, long long seconds,
                        long nanoseconds)
{
    for (const auto& [path, contents] : entries)
        file(path, contents);
    // After all files are made, since making one changes its directories' times.
    for (const auto& [path, contents] : entries) {
        for (size_t end = path.size(); end != std::string::npos; end = path.rfind('/', end - 1))
            times(path.substr(0, end), seconds, nanoseconds);
    }
}

std::string snapshot(const std::string& directory)
{
    std::vector<std::string> lines;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(directory)) {
        const std::string path = entry.path().string();
        struct stat status;
        if (lstat(path.c_str(), &status) != 0)
            continue;
        char attributes[64] = {};
        // The link's own attributes, not its target's, which may lie outside the directory.
        lgetxattr(path.c_str(), "user.DOSATTRIB", attributes, sizeof attributes - 1);
        size_t contents_hash = 0;
        if (S_ISREG(status.st_mode)) {
            std::ifstream in(path, std::ios::binary);
            contents_hash = std::hash<std::string>{}(std::string(std::istreambuf_iterator<char>(in), {}));
        }
        char target[4096] = {};
        if (S_ISLNK(status.st_mode) && readlink(path.c_str(), target, sizeof target - 1) < 0)
            target[0] = '\0';
        std::ostringstream line;
        line << path.substr(directory.size()) << ' ' << std::oct << status.st_mode << std::dec << ' '
             << status.st_size << ' ' << status.st_mtim.tv_sec << '.' << status.st_mtim.tv_nsec << " ["
             << attributes << "] " << contents_hash;
        if (S_ISLNK(status.st_mode))
            line << " -> " << target;
        line << '\n';
        lines.push_back(line.str());
    }
    std::sort(lines.begin(), lines.end());
    std::string all;
    for (const std::string& line : lines)
        all += line;
    return all;
}

// Pointers to the texts, ended by a null pointer, as exec wants them.
static std::vector<char*> pointers(std::vector<std::string>& texts)
{
    std::vector<char*> result;
    for (std::string& text : texts)
        result.push_back(text.data());
    result.push_back(nullptr);
    return result;
}

static std::string from_environment(const char* name, const std::string& otherwise = "")
{
    const char* value = getenv(name);
    return value != nullptr && *value != '\0' ? value : otherwise;
}

std::vector<std::string> orva_words(const std::vector<std::string>& before, const std::vector<std::string>& arguments)
{
    std::vector<std::string> words = before;
    if (on_wine())
        words.push_back(from_environment("ORVA_LAUNCHER"));
    words.push_back(from_environment("ORVA_PROGRAM", ORVA_BINARY));
    words.insert(words.end(), arguments.begin(), arguments.end());
    return words;
}

RunResult run_orva(const std::vector<std::string>& arguments, const std::string& cwd,
                   const std::map<std::string, std::string>& env)
{
    const std::vector<std::string> words = orva_words({}, arguments);
    return run_program(words[0], {words.begin() + 1, words.end()}, cwd, env);
}

static void crlf_as_lf(std::string& text)
{
    size_t kept = 0;
    for (size_t i = 0; i < text.size(); i++) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            text[kept++] = text[i];
    }
    text.resize(kept);
}

RunResult run_program(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& cwd, const std::map<std::string, std::string>& env)
{
    std::map<std::string, std::string> variables = {{"PATH", "/usr/bin:/bin"}, {"TZ", "UTC"}, {"LANG", "C"}};
    // Wine finds its prefix and server through these; DISPLAY stays out, so that it never
    // opens a window.
    if (on_wine()) {
        for (const char* name : {"WINEPREFIX", "WINEDEBUG", "HOME"}) {
            if (!from_environment(name).empty())
                variables[name] = from_environment(name);
        }
    }
    for (const auto& [name, value] : env) {
        if (value.empty())
            variables.erase(name);
        else
            variables[name] = value;
    }
    std::vector<std::string> environment, words = {program};
    for (const auto& [name, value] : variables)
        environment.push_back(name + "=" + value);
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv = pointers(words), envp = pointers(environment);

    int out_pipe[2], err_pipe[2];
    if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0)
        throw std::runtime_error("pipe failed");
    const pid_t child = fork();
    if (child < 0)
        throw std::runtime_error("fork failed");
    if (child == 0) {
        // A session of its own: the program finds no controlling terminal, so it can never
        // wait for keys from the terminal the tests run in.
        setsid();
        const int input = open("/dev/null", O_RDONLY);
        if (input < 0 || dup2(input, 0) < 0 || dup2(out_pipe[1], 1) < 0 || dup2(err_pipe[1], 2) < 0 ||
            chdir(cwd.c_str()) != 0)
            _exit(126);
        for (int fd : {input, out_pipe[0], out_pipe[1], err_pipe[0], err_pipe[1]})
            close(fd);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    close(out_pipe[1]);
    close(err_pipe[1]);
    // Both pipes are read to their end together, so that neither can fill up and block the child.
    RunResult result;
    struct pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    for (int open_count = 2; open_count > 0 && poll(fds, 2, -1) >= 0;) {
        for (int i = 0; i < 2; i++) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            char buffer[4096];
            const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                sinks[i]->append(buffer, static_cast<size_t>(got));
            } else {
                close(fds[i].fd);
                fds[i].fd = -1;
                open_count--;
            }
        }
    }
    int status = 0;
    waitpid(child, &status, 0);
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    if (on_wine()) {
        crlf_as_lf(result.out);
        crlf_as_lf(result.err);
    }
    return result;
}

RunResult run_orva_as_nobody(const std::vector<std::string>& arguments, const std::string& cwd,
                             const std::map<std::string, std::string>& env)
{
    const std::vector<std::string> words = orva_words({"--reuid=nobody", "--regid=nogroup", "--clear-groups"}, arguments);
    chmod(cwd.c_str(), 0755);
    // Wine refuses a prefix that belongs to another user.
    const std::string prefix = from_environment("ORVA_NOBODY_WINEPREFIX");
    if (on_wine() && prefix.empty())
        throw std::runtime_error("ORVA_NOBODY_WINEPREFIX names no prefix for nobody");
    std::map<std::string, std::string> variables = env;
    variables["WINEPREFIX"] = prefix;
    variables["HOME"] = prefix;
    return run_program("/usr/bin/setpriv", words, cwd, variables);
}

bool setpriv_refused(const RunResult& result)
{
    return result.err.find("setpriv") != std::string::npos;
}

std::string stored_bits_of(const std::string& path)
{
    char value[64] = {};
    const ssize_t length = lgetxattr(path.c_str(), "user.DOSATTRIB", value, sizeof value - 1);
    return length > 0 ? std::string(value, static_cast<size_t>(length)) : "";
}

int mode_of(const std::string& path)
{
    struct stat status;
    return lstat(path.c_str(), &status) == 0 ? static_cast<int>(status.st_mode & 07777) : -1;
}

std::string file_contents(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return "<missing>";
    return std::string(std::istreambuf_iterator<char>(file), {});
}

int count_of(const std::string& text, const std::string& part)
{
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        count++;
    return count;
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
    std::string input = utf8, output(utf8.size() * 2 + 16, '\0');
    char *in = input.data(), *out = output.data();
    size_t in_left = input.size(), out_left = output.size();
    const size_t converted = iconv(converter, &in, &in_left, &out, &out_left);
    iconv_close(converter);
    if (converted == static_cast<size_t>(-1))
        throw std::runtime_error("text cannot be written in CP932");
    output.resize(output.size() - out_left);
    return output;
}
