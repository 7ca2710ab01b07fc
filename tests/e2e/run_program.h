// Runs the built program in a temporary directory and captures what it did.
#pragma once

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

struct RunResult {
    std::string out;
    std::string err;
    int exit_code = -1;
};

// A temporary directory, removed with everything in it when the object goes.
class TempTree {
public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& path() const { return root; }
    // Creates a file (and its directories) with the given contents, relative to the root.
    void file(const std::string& relative, const std::string& contents = "");
    void directory(const std::string& relative);
    // Sets the last-write time (seconds since 1970 UTC and nanoseconds) and last-access time.
    void times(const std::string& relative, long long seconds, long nanoseconds = 0);
    // A file of that size without data, for sizes past 4 GB.
    void sparse(const std::string& relative, long long size);
    // A symbolic link at relative holding target as it is written.
    void link(const std::string& relative, const std::string& target);
    // The permission bits of an entry (not following a link).
    void mode(const std::string& relative, unsigned mode);
    // The stored DOS attributes of an entry as the layer keeps them ("0x22": hidden and
    // archive), written directly, as another program would.
    void stored_bits(const std::string& relative, const std::string& value);
    // Hands the whole tree, its root included, to the user nobody, so that the program
    // run as nobody meets it as its owner would: an ordinary user's own files.
    void give_to_nobody();
    // Files with their contents, then each of them and every directory on their way
    // given one last-write and access time.
    void files_at(std::initializer_list<std::pair<std::string, std::string>> entries, long long seconds,
                  long nanoseconds = 0);

private:
    std::string root;
};

// Every entry below a directory, one line each in name order: path, kind, mode, size,
// last write time in nanoseconds, the stored DOS attributes, a hash of the contents and,
// for a link, its target text. Two snapshots that are equal mean nothing was touched.
std::string snapshot(const std::string& directory);

// The words that start the program under test, between before and arguments. It is the
// Linux build unless ORVA_PROGRAM names another build (ORVA.EXE) and ORVA_LAUNCHER the
// program that starts it (wine).
std::vector<std::string> orva_words(const std::vector<std::string>& before = {},
                                    const std::vector<std::string>& arguments = {});

// Runs the program with the arguments in directory cwd. The environment holds only
// PATH, TZ=UTC and LANG=C unless env overrides or adds variables (an empty value
// removes one); with a launcher, also the launcher's own variables (WINEPREFIX,
// WINEDEBUG, HOME), and CRLF line ends in both outputs are read as LF.
RunResult run_orva(const std::vector<std::string>& arguments, const std::string& cwd,
                   const std::map<std::string, std::string>& env = {});
// The same for another program, started as it is (the launcher's rules above apply).
RunResult run_program(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& cwd, const std::map<std::string, std::string>& env = {});

// The program run as the user nobody, for refusals that root would not meet; cwd is
// opened to everyone first. setpriv_refused says the machine would not switch users.
// With a launcher, nobody needs a prefix of its own: ORVA_NOBODY_WINEPREFIX.
RunResult run_orva_as_nobody(const std::vector<std::string>& arguments, const std::string& cwd,
                             const std::map<std::string, std::string>& env = {});
bool setpriv_refused(const RunResult& result);

// The stored DOS attributes of an entry, or "" when none are stored.
std::string stored_bits_of(const std::string& path);
// The permission bits of an entry (not following a link), or -1 when it is missing.
int mode_of(const std::string& path);

// A file's whole contents, or "<missing>" when it cannot be read.
std::string file_contents(const std::string& path);
// How many times part occurs in text, overlapping occurrences included.
int count_of(const std::string& text, const std::string& part);

// The contents of a file of tests/e2e/expected.
std::string expected_file(const std::string& name);

// UTF-8 text as CP932 bytes.
std::string to_cp932(const std::string& utf8);
