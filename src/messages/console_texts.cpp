// Texts of the console: the abort message and the four prompts.
#include "messages/messages.h"

const Message MSG_ABORT_BY_USER = {
    "\nAbort by user!\n",
    JAPANESE("\nユーザーにより中止されました!\n"),
};
const char* const MSG_BELL = "\a";

const Message MSG_PROMPT_UPDATE = {
    " <Update:Y, Skip:N, All:A, Skip All:X>? ",
    JAPANESE(" <更新:Y, 次:N, 全部:A, 全部無視:X>? "),
};
const Message MSG_PROMPT_CREATE = {
    " <Create:Y, Skip:N, All:A, Skip All:X>? ",
    JAPANESE(" <作成:Y, 次:N, 全部:A, 全部無視:X>? "),
};
const Message MSG_PROMPT_DELETE = {
    " <Delete:Y, Skip:N, All:A, Skip All:X>? ",
    JAPANESE(" <削除:Y, 次:N, 全部:A, 全部無視:X>? "),
};
const Message MSG_PROMPT_EXECUTE = {
    " <Execute:Y, Skip:N, All:A, Skip All:X>? ",
    JAPANESE(" <実行:Y, 次:N, 全部:A, 全部無視:X>? "),
};
