// Texts of the command execution: the too-long refusal and why a command could not start.
#include "messages/messages.h"

const Message MSG_COMMAND_TOO_LONG = {
    "Too long command line to execute!\n[%s]\n",
    JAPANESE("コプロセスの引数が長すぎます!\n[%s]\n"),
};
const char* const MSG_COMMAND_START_FAILED = "%s!\n";
const Message MSG_COMMAND_NOT_FOUND = {
    "file or path not found",
    JAPANESE("ファイル名またはパス名が見つかりません"),
};
const Message MSG_COMMAND_ARGUMENTS_TOO_LONG = {
    "command line exceeds more than 1024 bytes",
    JAPANESE("引数リストが1024バイトを超えています"),
};
const Message MSG_COMMAND_NOT_EXECUTABLE = {
    "file is not executable or bat format",
    JAPANESE("指定されたファイルが実行可能ファイルでないか、実行可能ファイルの形式が不正です"),
};
const Message MSG_COMMAND_NO_MEMORY = {
    "insufficent memory to execute child process",
    JAPANESE("メモリ不足のため子プロセスを実行できません"),
};
const Message MSG_COMMAND_INVALID_MODE = {
    "mode is invalid",
    JAPANESE("modeが無効です"),
};
const Message MSG_COMMAND_UNKNOWN_ERROR = {
    "unknown child process error",
    JAPANESE("コプロセスの不明なエラーです"),
};
