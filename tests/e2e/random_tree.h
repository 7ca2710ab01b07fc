// Random source trees for the differential tests: the model the test keeps, and the files made from it.
#pragma once

#include <string>
#include <vector>

enum class EntryKind { file, directory, file_link, directory_link, dangling_link };

// One entry of a tree as the test means it to be.
struct TreeEntry {
    std::string path;  // below the tree's top directory, '/'-separated; "" is the top itself
    EntryKind kind = EntryKind::file;
    unsigned mode = 0;      // permission bits of a file or directory
    long long hole = 0;     // zero bytes a sparse file begins with, never written
    std::string data;       // the bytes after the hole
    std::string stored;     // user.DOSATTRIB as setfattr would write it, "" for none
    std::string target;     // a link's target text; "@" stands for the root the tree was made in
    long long seconds = 0;  // last write time of a file or link
    long nanoseconds = 0;
};

struct RandomTree {
    unsigned seed = 0;
    std::vector<TreeEntry> entries;  // every directory before what it holds
};

// A tree of at most three layers below its top, drawn from the seed alone.
RandomTree random_tree(unsigned seed);

// Makes the tree as root/top (top may be several components, such as "dst/src"), with
// a directory "outside" beside it for links to point at when root/outside is missing.
// Files their owner cannot read are left out when with_unreadable is false.
void make_tree(const RandomTree& tree, const std::string& root, const std::string& top, bool with_unreadable = true);

// One line per entry, for a failure message from which the tree can be rebuilt by hand.
std::string describe(const RandomTree& tree);

// A link's target text as made under root.
std::string target_under(const TreeEntry& entry, const std::string& root);
// The whole contents of a file entry: its hole, then its data.
std::string contents_of(const TreeEntry& entry);
// The directory entry that holds the entry.
const TreeEntry& parent_of(const RandomTree& tree, const TreeEntry& entry);
// Files, links to files and dangling links: what the walk hands over as files.
bool walked_as_file(const TreeEntry& entry);
// Whether the owner can read the entry: a file without the owner's read bit cannot be opened.
bool owner_can_read(const TreeEntry& entry);
// The hidden, system and archive bits an entry shows, stored or by default.
unsigned shown_attributes(const TreeEntry& entry);
// The same from a user.DOSATTRIB text ("" when none is stored) and the entry's name.
unsigned attributes_from(const std::string& stored, const std::string& name, bool directory);
