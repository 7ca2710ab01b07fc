// Running the built program for the end-to-end tests.
#include "e2e/run_program.h"

#include "e2e/known_differences.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <iconv.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

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
    return run_words(orva_words({}, arguments), cwd, env);
}

std::vector<std::string> test_environment(const std::map<std::string, std::string>& env)
{
    std::map<std::string, std::string> variables = {{"PATH", "/usr/bin:/bin"}, {"TZ", "UTC"}, {"LANG", "C"}};
    // Wine finds its prefix and server through these; DISPLAY stays out, so that it never
    // opens a window.
    for (const char* name : {"WINEPREFIX", "WINEDEBUG", "HOME"}) {
        if (on_wine() && !from_environment(name).empty())
            variables[name] = from_environment(name);
    }
    for (const auto& [name, value] : env) {
        if (value.empty())
            variables.erase(name);
        else
            variables[name] = value;
    }
    std::vector<std::string> environment;
    for (const auto& [name, value] : variables)
        environment.push_back(name + "=" + value);
    return environment;
}

void exec_words(const std::vector<std::string>& words, const std::vector<std::string>& environment)
{
    std::vector<char*> argv, envp;
    for (const std::string& word : words)
        argv.push_back(const_cast<char*>(word.c_str()));
    for (const std::string& variable : environment)
        envp.push_back(const_cast<char*>(variable.c_str()));
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
}

// Reads both pipes to their end together, so that neither can fill up and block the child.
static void read_both(int out, int err, RunResult& result)
{
    struct pollfd fds[2] = {{out, POLLIN, 0}, {err, POLLIN, 0}};
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
}

static void crlf_as_lf(std::string& text)
{
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.erase(at, 1);
}

RunResult run_words(const std::vector<std::string>& words, const std::string& cwd,
                    const std::map<std::string, std::string>& env)
{
    const std::vector<std::string> environment = test_environment(env);
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
        exec_words(words, environment);
    }
    close(out_pipe[1]);
    close(err_pipe[1]);
    RunResult result;
    read_both(out_pipe[0], err_pipe[0], result);
    int status = 0;
    waitpid(child, &status, 0);
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    if (on_wine()) {
        crlf_as_lf(result.out);
        crlf_as_lf(result.err);
    }
    return result;
}

std::vector<std::string> orva_words_as_user(const std::vector<std::string>& arguments)
{
    if (!running_as_root())
        return orva_words({}, arguments);
    return orva_words({"/usr/bin/setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"}, arguments);
}

RunResult run_orva_as_user(const std::vector<std::string>& arguments, const std::string& cwd,
                           const std::map<std::string, std::string>& env)
{
    if (!running_as_root())
        return run_orva(arguments, cwd, env);
    chmod(cwd.c_str(), 0755);
    // Wine refuses a prefix that belongs to another user.
    const std::string prefix = from_environment("ORVA_NOBODY_WINEPREFIX");
    if (on_wine() && prefix.empty())
        throw std::runtime_error("ORVA_NOBODY_WINEPREFIX names no prefix for nobody");
    std::map<std::string, std::string> variables = env;
    variables["WINEPREFIX"] = prefix;
    variables["HOME"] = prefix;
    return run_words(orva_words_as_user(arguments), cwd, variables);
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

std::vector<GoldenCase> golden_cases(const std::string& name)
{
    std::vector<GoldenCase> cases;
    std::istringstream lines(expected_file(name));
    std::string* sink = nullptr;
    for (std::string line; std::getline(lines, line);) {
        if (line == "--- stderr") {
            sink = &cases.back().err;
        } else if (line.rfind("$ ", 0) != 0) {
            *sink += line + "\n";
        } else {
            GoldenCase& c = cases.emplace_back();
            sink = &c.out;
            std::istringstream words(line.substr(2));
            words >> c.exit_code;
            for (std::string word; words >> word;) {
                const size_t equals = word.find('=');
                if (c.arguments.empty() && equals != std::string::npos && std::isalpha(static_cast<unsigned char>(word[0])))
                    c.env[word.substr(0, equals)] = word.substr(equals + 1);
                else
                    c.arguments.push_back(word);
            }
        }
    }
    if (cases.empty())
        throw std::runtime_error("no cases in " + name);
    return cases;
}

static std::string with_root(std::string text, const std::string& root)
{
    for (size_t at = text.find("<root>"); at != std::string::npos; at = text.find("<root>", at + root.size()))
        text.replace(at, 6, root);
    return text;
}

void expect_golden_cases(const std::string& name, const std::string& root, std::string (*shown)(const std::string&))
{
    for (GoldenCase& c : golden_cases(name)) {
        std::string label = name + ":";
        for (std::string& argument : c.arguments) {
            label += " " + argument;
            argument = with_root(argument, root);
        }
        const std::string cwd = c.env.contains("CWD") ? root + "/" + c.env["CWD"] : root;
        c.env.erase("CWD");
        const RunResult result = run_orva(c.arguments, cwd, c.env);
        const std::string out = shown != nullptr ? shown(result.out) : result.out;
        EXPECT_EQ(blurred(out), blurred(with_root(c.out, root))) << label;
        EXPECT_EQ(result.err, with_root(c.err, root)) << label;
        EXPECT_EQ(result.exit_code, c.exit_code) << label;
    }
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
