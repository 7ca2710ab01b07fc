// The dispatch of every selected entry to the run's one operation, by its code.
#include "walk/operations.h"

#include "change/attribute_change.h"
#include "change/command_execution.h"
#include "change/date_change.h"
#include "records/run_settings.h"
#include "report/listing.h"
#include "report/size_summation.h"
#include "report/tree_display.h"
#include "transfer/copy_entry.h"
#include "transfer/delete_entry.h"
#include "transfer/verify_entry.h"

int operate_directory_before()
{
    switch (base_operation()) {
    case OP_LIST: return list_entry();
    case OP_ATTRIB: return change_attributes();
    case OP_TREE: return tree_entry();
    case OP_COPY:
    case OP_UPDATE: return copy_entry();
    case OP_VERIFY: return verify_entry();
    default: return 1;
    }
}

// What changes a directory's time or removes it must come after everything below it.
int operate_directory_after()
{
    switch (base_operation()) {
    case OP_TREE: return tree_entry();
    case OP_DELETE: return delete_entry();
    case OP_SET_DATE: return change_date();
    case OP_EXECUTE: return execute_entry();
    default: return 1;
    }
}

int operate_file()
{
    switch (base_operation()) {
    case OP_LIST: return list_entry();
    case OP_ATTRIB: return change_attributes();
    case OP_SIZE: return size_entry();
    case OP_TREE: return tree_entry();
    case OP_DELETE: return delete_entry();
    case OP_COPY:
    case OP_UPDATE: return copy_entry();
    case OP_VERIFY: return verify_entry();
    case OP_SET_DATE: return change_date();
    case OP_EXECUTE: return execute_entry();
    default: return 1;
    }
}

// The copy is finished before a move takes the emptied source directory away; the
// deletion's outcome does not stop the walk.
void finish_walked_copy(bool source_emptied)
{
    finish_copied_directory();
    if (source_emptied && (settings.operation & MOD_MOVE))
        delete_entry();
}
