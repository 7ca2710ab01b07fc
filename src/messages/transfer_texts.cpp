// Texts of the copy, update and move operation, of the content comparison and of the
// file deletion they share with the delete operation.
#include "messages/messages.h"

const Message MSG_CREATE_FILE_HEADER = {"create file      ", JAPANESE("作成ファイル     ")};
const Message MSG_MOVE_FILE_HEADER = {"move file        ", JAPANESE("移動ファイル     ")};
const Message MSG_UPDATE_FILE_HEADER = {"update file      ", JAPANESE("更新ファイル     ")};
const Message MSG_COPY_VERIFY = {"  verify", JAPANESE("  照合")};
const Message MSG_COPY_DONE = {" done", JAPANESE("正常")};
const Message MSG_COPY_DIFFERENT = {"different", JAPANESE("失敗")};
const Message MSG_DELETE_SOURCE_FILE = {"  delete source file", JAPANESE("  ソースファイル削除")};

const char* const MSG_FINAL_FIGURE = "(100%%,%5dKB/sec)";
const char* const MSG_FINAL_FIGURE_UNMEASURED = "(100%%,-----KB/sec)";

const Message MSG_GET_DIRECTORY_ATTRIBUTES_FAILED = {
    "\nGet directory %s attributes failed!",
    JAPANESE("\nディレクトリ%sの属性取得でエラーが発生しました!"),
};
const Message MSG_MOVE_FILE_FAILED = {
    "\nMove file %s to %s failed!",
    JAPANESE("\nファイル%sの%sへ移動でエラーが発生しました!"),
};
const Message MSG_CANNOT_OPEN_WRITTEN = {
    "\nCannot open destination file %s!(%d/0x%lX)",
    JAPANESE("\n書込ファイル%sをオープンできません!(%d/0x%lX)"),
};
const Message MSG_WRITE_DESTINATION_FAILED = {
    "\nWrite destination file %s failed!",
    JAPANESE("\nファイル%sの書込でエラーが発生しました!"),
};
const Message MSG_SEEK_SOURCE_FAILED = {
    "\nSeek source file %s failed!",
    JAPANESE("\nファイル%sのシークでエラーが発生しました!"),
};
const Message MSG_CHANGE_DESTINATION_DATE_FAILED = {
    "\nChange destination file %s date failed!",
    JAPANESE("\n書込ファイル%sの日付変更でエラーが発生しました!"),
};
const Message MSG_GET_DESTINATION_DATE_FAILED = {
    "Get destination file %s date failed!\n",
    JAPANESE("書込ファイル%sの日付取得でエラーが発生しました!\n"),
};
const Message MSG_CLOSE_WRITTEN_FAILED = {
    "\nClose destination file %s failed!",
    JAPANESE("\n書込ファイル%sのクローズでエラーが発生しました!"),
};
const Message MSG_CHANGE_DESTINATION_ATTRIBUTES_FAILED = {
    "\nChange destination file %s attributes failed!",
    JAPANESE("\n書込ファイル%sの属性変更でエラーが発生しました!"),
};

// The comparison's texts take a prefix: a line break, or nothing when the text runs on
// after what the caller printed. The copy's source-side texts are the same with "\n".
const Message MSG_CANNOT_OPEN_SOURCE = {
    "%sCannot open source file %s!(%d/0x%lX)",
    JAPANESE("%s読出ファイル%sをオープンできません!(%d/0x%lX)"),
};
const Message MSG_CANNOT_OPEN_COMPARED = {
    "%sCannot open destination file %s!(%d/0x%lX)",
    JAPANESE("%s照合ファイル%sをオープンできません!(%d/0x%lX)"),
};
const Message MSG_READ_SOURCE_FAILED = {
    "%sRead source file %s failed!",
    JAPANESE("%sファイル%sの読出でエラーが発生しました!"),
};
const Message MSG_READ_DESTINATION_FAILED = {
    "%sRead destination file %s failed!",
    JAPANESE("%sファイル%sの読出しでエラーが発生しました!"),
};
const Message MSG_CLOSE_COMPARED_FAILED = {
    "%sClose destination file %s failed!",
    JAPANESE("%s照合ファイル%sのクローズでエラーが発生しました!"),
};
const Message MSG_CLOSE_SOURCE_FAILED = {
    "%sClose source file %s failed!",
    JAPANESE("%s読出ファイル%sのクローズでエラーが発生しました!"),
};

const Message MSG_CHANGE_FILE_ATTRIBUTES_FAILED = {
    "\nChagne file %s attributes failed!",
    JAPANESE("\nファイル%sの属性変更でエラーが発生しました!"),
};
const Message MSG_DELETE_FILE_FAILED = {
    "\nDelete file %s failed!",
    JAPANESE("\nファイル%sの削除でエラーが発生しました!"),
};

// A destination that is its source by another route (a link, a mount, an alias) is never
// replaced, deleted or counted as equal.
const Message MSG_SAME_FILE = {
    "\nDestination file %s is the source file itself!",
    JAPANESE("\nディスティネーションファイル%sはソースファイルそのものです!"),
};
