// Texts of the attribute and date changes.
#include "messages/messages.h"

const Message MSG_CHANGE_ATTRIBUTES_FAILED = {
    "Change file %s attributes failed!",
    JAPANESE("ファイル%sの属性変更でエラーが発生しました!"),
};
// %lX in both languages: the code is passed as unsigned long, the digits are the same.
const Message MSG_DATE_CANNOT_OPEN = {
    "Cannot open file %s!(%d/0x%lX)",
    JAPANESE("ファイル%sをオープンできません!(%d/0x%lX)"),
};
const Message MSG_CHANGE_DATE_FAILED = {
    "Change file %s date failed!",
    JAPANESE("ファイル%sの日付変更でエラーが発生しました!"),
};
const Message MSG_DATE_CLOSE_FAILED = {
    "Close file %s failed!",
    JAPANESE("ファイル%sのクローズでエラーが発生しました!"),
};
const char* const MSG_DATE_CHANGE_LINE = "%02hd-%02hd-%02hd %02hd:%02hd:%02hd.%03hd %s";
