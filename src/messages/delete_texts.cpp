// Texts of the delete operation.
#include "messages/messages.h"

const Message MSG_DELETE_FILE_HEADER = {"delete file      ", JAPANESE("削除ファイル     ")};
const Message MSG_DELETE_DIRECTORY_HEADER = {"delete directory ", JAPANESE("削除ディレクトリ ")};
const Message MSG_DELETE_VERIFY_FILE = {"  Verify file ", JAPANESE("  照合ファイル")};
const Message MSG_NOT_FOUND = {"is not found.", JAPANESE("が見つかりません.")};
const Message MSG_DELETE_SIZE_DIFFERENT = {"size is different.", JAPANESE("サイズが違います.")};
const Message MSG_DELETE_VERIFY = {"  Verify ", JAPANESE("  照合")};
const Message MSG_DELETE_DIFFERENT = {"different.", JAPANESE("失敗.")};
const Message MSG_DELETE_VERIFY_DONE = {"  Verify done.", JAPANESE("  照合成功.")};
const Message MSG_CHANGE_DIRECTORY_PATH_ATTRIBUTES_FAILED = {
    "\nChange directory %s attributes failed!",
    JAPANESE("\nディレクトリ%sの属性変更でエラーが発生しました!"),
};
const Message MSG_DELETE_DIRECTORY_FAILED = {
    "\nDelete directory %s failed!",
    JAPANESE("\nディレクトリ%sの削除でエラーが発生しました!"),
};
