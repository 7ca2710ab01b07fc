// Texts of the listing and its CRC report.
#include "messages/messages.h"

const Message MSG_CANNOT_OPEN_FILE = {
    "Cannot opepn file %s!(%d/0x%lX)\n",
    JAPANESE("ファイル%sをオープンできません!(%d/0x%lX)\n"),
};
const Message MSG_READ_FILE_FAILED = {
    "Read file %s failed!\n",
    JAPANESE("ファイル%sの読出でエラーが発生しました!\n"),
};
const Message MSG_CLOSE_FILE_FAILED = {
    "Close file %s failed!\n",
    JAPANESE("ファイル%sのクローズでエラーが発生しました!\n"),
};
const Message MSG_CRC_COMPUTING = {
    "CRC Computing",
    JAPANESE("CRC 計算中"),
};
const Message MSG_READ_TESTING = {
    "Read Testing",
    JAPANESE("読出テスト"),
};
const char* const MSG_PROGRESS_LABEL = "%s %s ";
const char* const MSG_PROGRESS_FIGURE = "(%3d%%,%5dKB/sec)";
const char* const MSG_SPEED_COLUMN = "%5dKB/sec ";
const char* const MSG_SPEED_UNKNOWN = "-----KB/sec ";

// The tree's margin pieces, four characters each, and the mark of an unentered directory.
const char* const MSG_TREE_FIRST_MORE = "-+- ";
const char* const MSG_TREE_FIRST_ALONE = "--- ";
const char* const MSG_TREE_MORE = " |- ";
const char* const MSG_TREE_LAST = " +- ";
const char* const MSG_TREE_COLUMN = " |  ";
const char* const MSG_TREE_NO_COLUMN = "    ";
const char* const MSG_TREE_NAME_GAP = "        ";
const char* const MSG_TREE_NOT_DISPLAYED = "---not displayed";
