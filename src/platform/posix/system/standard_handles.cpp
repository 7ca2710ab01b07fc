// The standard handles and the objects behind the layer's handles.
#include <new>

#include "platform/posix/console/terminal.h"
#include "platform/posix/system/handles.h"

static const uint32_t LIVE_HANDLE = 0x4F525641;

static HandleObject standard_objects[3] = {
    {HandleKind::standard_stream, 0, LIVE_HANDLE, false, nullptr},
    {HandleKind::standard_stream, 1, LIVE_HANDLE, false, nullptr},
    {HandleKind::standard_stream, 2, LIVE_HANDLE, false, nullptr},
};

HandleObject* handle_object(HANDLE handle)
{
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return nullptr;
    HandleObject* object = static_cast<HandleObject*>(handle);
    return object->magic == LIVE_HANDLE ? object : nullptr;
}

HandleObject* new_handle_object(HandleKind kind, int fd)
{
    HandleObject* object = new (std::nothrow) HandleObject{kind, fd, LIVE_HANDLE, false, nullptr};
    return object;
}

void free_handle_object(HandleObject* object)
{
    object->magic = 0;
    delete object;
}

// GetStdHandle: the standard input, output or error handle; ERROR_INVALID_HANDLE for any
// other number.
// Taking the input handle of a console puts the terminal in key mode at once: keys
// typed before the first read then wait unechoed, as typeahead does in a console.
HANDLE GetStdHandle(DWORD which)
{
    if (which == STD_INPUT_HANDLE) {
        if (standard_stream_is_terminal(0))
            enter_key_mode();
        return &standard_objects[0];
    }
    if (which == STD_OUTPUT_HANDLE)
        return &standard_objects[1];
    if (which == STD_ERROR_HANDLE)
        return &standard_objects[2];
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_HANDLE_VALUE;
}
