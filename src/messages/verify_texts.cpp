// Texts of the verify operation.
#include "messages/messages.h"

const Message MSG_VERIFY_DIRECTORY_HEADER = {"Verify directory %s ", JAPANESE("照合ディレクトリ %s ")};
const Message MSG_VERIFY_FILE_HEADER = {"Verify file      %s ", JAPANESE("照合ファイル     %s ")};
const Message MSG_VERIFY_EXISTS = {"is exist.\n", JAPANESE("は有ります.\n")};
const Message MSG_VERIFY_ATTRIBUTES_SAME = {"attribute is same.\n", JAPANESE("属性は同じです.\n")};
const Message MSG_VERIFY_SAME = {"is same.\n", JAPANESE("は同じです.\n")};
const Message MSG_VERIFY_ATTRIBUTES_DIFFERENT = {"%s are different.", JAPANESE("%sが違います.")};
const Message MSG_VERIFY_DIFFERENT = {"is different.", JAPANESE("が違います.")};
const Message MSG_VERIFY_PROPERTIES_DIFFERENT = {"%s%s%s are different.", JAPANESE("%s%s%sが違います.")};
const Message MSG_VERIFY_SIZE_TEXT = {"size,", JAPANESE("サイズ")};
const Message MSG_VERIFY_DATE_TEXT = {"date,", JAPANESE("日付")};
// Followed by four letters a, s, h, r, each '-' when that attribute agrees.
const Message MSG_VERIFY_ATTRIBUTE_TEXT = {"attrib:", JAPANESE("属性")};
