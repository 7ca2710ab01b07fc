// Runs the argument scan over words, as a fresh run would see them.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "driver/run_settings.h"

// The settings point into the argument texts, so the texts live as long as the test.
inline int scan_words(const std::vector<std::string>& words)
{
    static std::deque<std::string> storage;
    reset_run_settings();
    std::vector<char*> argv = {nullptr};
    storage.emplace_back("orva");
    argv[0] = storage.back().data();
    for (const std::string& word : words) {
        storage.push_back(word);
        argv.push_back(storage.back().data());
    }
    argv.push_back(nullptr);
    return scan_arguments(static_cast<int>(words.size()) + 1, argv.data());
}
