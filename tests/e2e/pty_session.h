// Runs a program on a pseudo-terminal, types keys into it and reads its screen output.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "support/temporary_tree.h"

class PtySession {
public:
    // Starts program with the arguments in cwd, on a new pseudo-terminal of 30 rows and 100
    // columns that is its standard input, output and error and its controlling terminal.
    PtySession(const std::string& program, const std::vector<std::string>& arguments, const std::string& cwd,
               const std::map<std::string, std::string>& env = {});
    ~PtySession();
    PtySession(const PtySession&) = delete;
    PtySession& operator=(const PtySession&) = delete;

    // Writes the keys in one write, so that the program reads them together: the answer
    // or the key that ends a pause, and the Ctrl+S that then holds the run at its next poll.
    // A test types the next key only after it has seen what the last one did, so no key
    // waits on a timer; an ESC is typed alone, or it would start an escape sequence.
    void type(const std::string& keys);
    // Reads until the output from byte from on holds text; false after timeout_ms without it.
    bool wait_for(const std::string& text, int timeout_ms = 10000, size_t from = 0);
    // Reads whatever arrives during milliseconds.
    void settle(int milliseconds);
    // Waits for the program to end and returns its exit code (-1 after the timeout).
    int wait_exit(int timeout_ms = 20000);
    const std::string& output() const { return screen; }
    bool running();
    void send_signal(int signal_number);
    // The terminal has its line editing and echo, as a shell leaves it.
    bool in_line_mode();
    // Waits until the program has written at least count bytes in all, to its terminal
    // and its files (a copy in the middle of its blocks, whose file has no name yet).
    bool wait_written(long long count, int timeout_ms = 20000);

private:
    bool read_some(int timeout_ms);
    template <typename Done>
    bool read_until(int timeout_ms, Done done);

    int master = -1;
    int child = -1;
    int exit_code = -1;
    bool exited = false;
    std::string screen;
};

// The tree of the runs held in the middle of a copy: src\a (one byte), src\big (eight of
// the copy's 65,536-byte blocks, none of them zero, so that each is written) and
// src\later, which a stopped run never reaches.
void make_copy_tree(const TempTree& tree);
