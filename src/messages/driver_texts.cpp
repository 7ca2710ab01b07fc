// Texts of the driver, the walk's start and directory creation.
#include "messages/messages.h"

const char* const VERSION_TEXT = "6.01";

const Message MSG_PARAMETER_ERROR = {
    "Parameter error. [%s]\n",
    JAPANESE("パラメータが不正です. [%s]\n"),
};
const Message MSG_HOST_PATH_AS_ARGUMENT = {
    "Use [%s] to give it as a path.\n",
    JAPANESE("[%s]でパスとして指定します.\n"),
};
const Message MSG_USE_HELP_OPTION = {
    "Use /? option to show usage.\n",
    JAPANESE("/?オプションで使用方法を表示します.\n"),
};
const Message MSG_SAME_DIRECTORY = {
    "Source and destination are same directory.\n",
    JAPANESE("ソースとディスティネーションが同じディレクトリです.\n"),
};
const Message MSG_DESTINATION_INSIDE_SOURCE = {
    "Destination directory is inside source directory.\n",
    JAPANESE("ディスティネーションがソースディレクトリの中にあります.\n"),
};
const char* const MSG_OUT_OF_MEMORY = "Out of memory!\n";
const Message MSG_OUTPUT_LOST = {
    "Cannot write to standard output!\n",
    JAPANESE("標準出力に書き込めません!\n"),
};
const char* const MSG_PARAMETERS_HEAD = "Parameters:";
const char* const MSG_PARAMETER_ITEM = " [%s]";
const char* const MSG_DEBUG_PATHS = "src:[%s],dst:[%s]\n";

const Message MSG_SOURCE_NOT_FOUND = {
    "Source file or directory is not found.\n",
    JAPANESE("ソースファイルまたはディレクトリが見つかりません.\n"),
};
const Message MSG_PATH_TOO_LONG = {
    "Path name of %s is too long!\n",
    JAPANESE("%sのパス名が長すぎます!\n"),
};
const char* const MSG_FIND_CLOSE_FAILED = "FindClose() failed.\n";
const Message MSG_UNSHOWN_NAME_LEFT = {
    "%s: an entry whose name cannot be shown here was left alone.\n",
    JAPANESE("%s: ここで表示できない名前のエントリを1つ処理せずに残しました.\n"),
};

const Message MSG_CREATE_DIRECTORY = {
    "Create directory %s",
    JAPANESE("作成ディレクトリ %s"),
};
const Message MSG_CANNOT_CREATE_DIRECTORY = {
    "\nCannot create directory!(%ld/0x%lX)",
    JAPANESE("\nディレクトリが作成できません!(%ld/0x%lX)"),
};
const Message MSG_CHANGE_DIRECTORY_ATTRIBUTES_FAILED = {
    "\nChange directory attributes failed!",
    JAPANESE("\nディレクトリの属性変更でエラーが発生しました!"),
};

const char* const MSG_SIZE_BYTES = "%03lu,%03lu,%03lu,%03lu bytes ";
const char* const MSG_SIZE_CLUSTERS = "%03lu,%03lu,%03lu clusters/";
const char* const MSG_SIZE_HALF_KBYTES = ".5Kbytes ";
const char* const MSG_SIZE_KBYTES = "%2luKbytes ";
