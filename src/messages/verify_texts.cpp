// Texts of the verify operation.
#include "messages/messages.h"

const Message MSG_VERIFY_DIRECTORY_HEADER = {"Verify directory %s ", "照合ディレクトリ %s "};
const Message MSG_VERIFY_FILE_HEADER = {"Verify file      %s ", "照合ファイル     %s "};
const Message MSG_VERIFY_EXISTS = {"is exist.\n", "は有ります.\n"};
const Message MSG_VERIFY_ATTRIBUTES_SAME = {"attribute is same.\n", "属性は同じです.\n"};
const Message MSG_VERIFY_SAME = {"is same.\n", "は同じです.\n"};
const Message MSG_VERIFY_ATTRIBUTES_DIFFERENT = {"%s are different.", "%sが違います."};
const Message MSG_VERIFY_DIFFERENT = {"is different.", "が違います."};
const Message MSG_VERIFY_PROPERTIES_DIFFERENT = {"%s%s%s are different.", "%s%s%sが違います."};
const Message MSG_VERIFY_SIZE_TEXT = {"size,", "サイズ"};
const Message MSG_VERIFY_DATE_TEXT = {"date,", "日付"};
// Followed by four letters a, s, h, r, each '-' when that attribute agrees.
const Message MSG_VERIFY_ATTRIBUTE_TEXT = {"attrib:", "属性"};
