// A run that does not look at the hidden, system and archive bits of files has its
// searches leave them unread; directories and GetFileAttributesA read them always.
#include <gtest/gtest.h>

#include <map>

#include "layer_helpers.h"
#include "platform/posix/path_roots.h"

static std::map<std::string, DWORD> searched_attributes(const std::string& pattern)
{
    std::map<std::string, DWORD> attributes;
    WIN32_FIND_DATAA record;
    HANDLE search = FindFirstFileA(pattern.c_str(), &record);
    if (search == INVALID_HANDLE_VALUE)
        return attributes;
    do {
        attributes[record.cFileName] = record.dwFileAttributes;
    } while (FindNextFileA(search, &record));
    FindClose(search);
    return attributes;
}

// Forty files, so that the searches' reading thread reads some of them too.
TEST(SearchedFileAttributes, are_left_unread_only_for_files_and_only_in_searches)
{
    TempTree tree;
    for (int i = 0; i < 40; i++) {
        const std::string name = "f" + std::to_string(10 + i);
        tree.file(name);
        tree.stored_bits(name, "0x2");
    }
    tree.directory("kept");
    tree.stored_bits("kept", "0x1");
    searches_read_file_attributes(false);
    const std::map<std::string, DWORD> unread = searched_attributes(tree.windows("*"));
    const std::map<std::string, DWORD> single = searched_attributes(tree.windows("f10"));
    const DWORD asked = GetFileAttributesA(tree.windows("f10").c_str());
    searches_read_file_attributes(true);
    const std::map<std::string, DWORD> read = searched_attributes(tree.windows("*"));

    ASSERT_EQ(unread.size(), 43u);
    for (const auto& [name, attributes] : unread) {
        if (name[0] == 'f') {
            EXPECT_EQ(attributes, FILE_ATTRIBUTE_ARCHIVE) << name;
            EXPECT_EQ(read.at(name), FILE_ATTRIBUTE_HIDDEN) << name;
        }
    }
    EXPECT_EQ(unread.at("kept"), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(single.at("f10"), FILE_ATTRIBUTE_ARCHIVE);
    // Asked right after the search's record, and answered by the host, not the record.
    EXPECT_EQ(asked, FILE_ATTRIBUTE_HIDDEN);
}

// Below a destination root one entry is read from its name alone: exactly, without the
// short name its directory's table would give and without the stored bits of a file.
TEST(SearchedFileAttributes, a_destination_root_reads_one_entry_by_its_name_alone)
{
    TempTree tree;
    tree.file("dst/Long File Name.txt");
    tree.stored_bits("dst/Long File Name.txt", "0x2");
    tree.directory("dst/Kept Directory");
    tree.stored_bits("dst/Kept Directory", "0x1");
    const std::string root = tree.windows("dst") + "\\";
    const auto record_of = [&](const char* name, RootNames names) {
        forget_path_roots();
        register_path_root(root.c_str(), root.size(), names);
        WIN32_FIND_DATAA record = {};
        HANDLE search = FindFirstFileA((root + name).c_str(), &record);
        if (search == INVALID_HANDLE_VALUE)
            return std::string("none");
        FindClose(search);
        return std::string(record.cFileName) + "|" + record.cAlternateFileName + "|" +
               std::to_string(record.dwFileAttributes);
    };
    EXPECT_EQ(record_of("Long File Name.txt", DESTINATION_NAMES), "Long File Name.txt||32");
    EXPECT_EQ(record_of("Long File Name.txt", NAMES_FROM_SEARCHES), "Long File Name.txt|LONGFI~1.TXT|2");
    EXPECT_EQ(record_of("Kept Directory", DESTINATION_NAMES), "Kept Directory||17");
    EXPECT_EQ(record_of("long file name.txt", DESTINATION_NAMES), "none");
    EXPECT_EQ(record_of("LONGFI~1.TXT", DESTINATION_NAMES), "none");
    forget_path_roots();
}
