// The listing line of an entry: attributes, size, dates, CRC, read speed and path.
//
// With /F a file is read completely before its line is printed, so a file that cannot
// be read gets an error text instead of a line.
#include "report/listing.h"

#include <cstdio>
#include <cstring>

#include "console/date_display.h"
#include "console/failure_exit.h"
#include "console/keys.h"
#include "console/number_format.h"
#include "console/progress_cursor.h"
#include "console/standard_output.h"
#include "messages/messages.h"
#include "records/console_state.h"
#include "records/transfer_buffers.h"
#include "records/walk_state.h"
#include "report/crc.h"
#include "time/file_time.h"
#include "walk/name_forms.h"

static const DWORD PROGRESS_INTERVAL_MS = 500;

// What reading a file for its line gave.
struct FileReading {
    uint32_t crc;
    int speed; // KB/sec; -1 when not measured
};

static bool is_directory(const WIN32_FIND_DATAA& entry)
{
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

static void feed_crc(FileReading* reading, int* flags, DWORD length)
{
    if (settings.crc_polynomial == READ_TEST_ONLY)
        return;
    if (settings.crc32) {
        crc32_compute(*flags, &reading->crc, io_buffer, length);
    } else {
        uint16_t crc16 = static_cast<uint16_t>(reading->crc);
        crc16_arc(*flags, &crc16, io_buffer, length);
        reading->crc = crc16;
    }
    *flags = 0;
}

static void show_progress_figure(uint64_t total, uint64_t remaining, uint64_t last_remaining, DWORD elapsed,
                                 bool first)
{
    const int percent = static_cast<int>(static_cast<int64_t>(total - remaining) * 100 / static_cast<int64_t>(total));
    const int speed = static_cast<int>(static_cast<int64_t>(last_remaining - remaining) * 1000 /
                                       (static_cast<int64_t>(elapsed) * 1024));
    if (first) {
        const Message& label = settings.crc_polynomial == READ_TEST_ONLY ? MSG_READ_TESTING : MSG_CRC_COMPUTING;
        fprintf(stderr, MSG_PROGRESS_LABEL, text(label), walk.source_path);
    }
    print_progress_figure(stderr, console.error_handle, percent, speed);
}

// Reads the current file through the shared buffer, feeding the CRC engine piece by
// piece. Returns the bytes left unread: 0 when the whole file was read.
static uint64_t read_file(HANDLE file, FileReading* reading)
{
    const uint64_t total = entry_size(walk.current_level->find_data);
    uint64_t remaining = total;
    uint64_t last_remaining = total;
    const DWORD start_tick = GetTickCount();
    DWORD last_tick = start_tick;
    bool progress_shown = false;
    int flags = CRC_BUILD_TABLE | CRC_RESET;
    if (settings.crc_initial_given) {
        reading->crc = settings.crc_initial_value;
        flags = CRC_BUILD_TABLE;
    }
    do {
        const DWORD chunk = remaining < IO_BUFFER_SIZE ? static_cast<DWORD>(remaining) : IO_BUFFER_SIZE;
        DWORD got = 0;
        if (!ReadFile(file, io_buffer, chunk, &got, nullptr) || got < chunk) {
            print_highlighted(stdout, text(MSG_READ_FILE_FAILED), walk.source_path);
            break;
        }
        if (chunk == remaining)
            flags |= CRC_FINAL;
        feed_crc(reading, &flags, chunk);
        remaining -= chunk;
        if (settings.show_progress && total > 0) {
            const DWORD now = GetTickCount();
            if (now > last_tick + PROGRESS_INTERVAL_MS) {
                show_progress_figure(total, remaining, last_remaining, now - last_tick, last_tick == start_tick);
                last_tick = now;
                last_remaining = remaining;
                progress_shown = true;
            }
        }
        if (poll_abort_keys(nullptr, 0))
            break;
    } while (remaining > 0);

    reading->speed = -1;
    if (progress_shown) {
        if (last_tick > start_tick)
            reading->speed =
                static_cast<int>(static_cast<int64_t>(total) * 1000 / (static_cast<int64_t>(last_tick - start_tick) * 1024));
        clear_progress_line(console.error_handle, stderr);
    }
    return remaining;
}

// Reads the file for its CRC or read test. 1 = its line follows; otherwise the entry's
// result (the error has been shown).
static int read_for_line(FileReading* reading, int* result)
{
    HANDLE file = CreateFileA(walk.source_path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        print_highlighted(stdout, text(MSG_CANNOT_OPEN_FILE), walk.source_path, static_cast<int>(code),
                          static_cast<unsigned long>(code));
        *result = settings.continue_on_error ? 1 : 0;
        return 0;
    }
    const uint64_t unread = read_file(file, reading);
    if (!CloseHandle(file)) {
        print_highlighted(stderr, text(MSG_CLOSE_FILE_FAILED), walk.source_path);
        *result = goes_on_after_failure();
        return 0;
    }
    if (unread > 0) {
        *result = goes_on_after_failure();
        return 0;
    }
    return 1;
}

// Every column but the path: attributes, size, three dates, CRC and speed at their widest.
static const size_t COLUMNS_LENGTH = 6 + 27 + 3 * 28 + 3 * 3 + 9 + 24;

// The line is put together in one buffer and written at once: the listing of a large
// tree writes a line per entry, and one write of the line costs less than one per field.
static char line_buffer[COLUMNS_LENGTH + PATH_BUFFER_SIZE + 2];

static char* put_text(char* at, const char* text)
{
    const size_t length = strlen(text);
    memcpy(at, text, length);
    return at + length;
}

static char* put_date_column(char* at, const FILETIME& time, const char* suffix)
{
    format_date_column(file_time_value(time), &at);
    return put_text(at, suffix);
}

// The CRC and speed columns, where the run asks for them.
static char* put_reading_columns(char* at, const WIN32_FIND_DATAA& entry, const FileReading& reading)
{
    char* const end = line_buffer + COLUMNS_LENGTH;
    if (settings.crc_polynomial != 0 && settings.crc_polynomial != READ_TEST_ONLY) {
        if (is_directory(entry))
            at += snprintf(at, static_cast<size_t>(end - at), "%*s", settings.crc32 ? 9 : 5, "");
        else if (settings.crc32)
            at += snprintf(at, static_cast<size_t>(end - at), "%08lx ", static_cast<unsigned long>(reading.crc));
        else
            at += snprintf(at, static_cast<size_t>(end - at), "%04hX ", static_cast<unsigned short>(reading.crc));
    }
    if (settings.show_progress) {
        if (is_directory(entry))
            at += snprintf(at, static_cast<size_t>(end - at), "%12s", "");
        else if (reading.speed == -1)
            at = put_text(at, MSG_SPEED_UNKNOWN);
        else
            at += snprintf(at, static_cast<size_t>(end - at), MSG_SPEED_COLUMN, reading.speed);
    }
    return at;
}

static void print_line(const WIN32_FIND_DATAA& entry, const FileReading& reading)
{
    char* at = line_buffer;
    format_attributes(&at, entry.dwFileAttributes);
    format_size_field(&at, entry.nFileSizeLow, entry.nFileSizeHigh, entry.dwFileAttributes, 0);
    if (settings.list_mode & 4) {
        at = put_date_column(at, entry.ftLastWriteTime, " C:");
        at = put_date_column(at, entry.ftCreationTime, " A:");
        at = put_date_column(at, entry.ftLastAccessTime, " ");
    } else {
        at = put_date_column(at, entry.ftLastWriteTime, " ");
    }
    at = put_reading_columns(at, entry, reading);
    at = put_text(at, chosen_path());
    *at++ = '\n';
    fwrite(line_buffer, 1, static_cast<size_t>(at - line_buffer), stdout);
}

int list_entry()
{
    walk.pause_counter++;
    const WIN32_FIND_DATAA& entry = walk.current_level->find_data;
    FileReading reading = {0, -1};
    if (settings.crc_polynomial != 0 && !is_directory(entry)) {
        int result = 1;
        if (!read_for_line(&reading, &result))
            return result;
    }
    print_line(entry, reading);
    return 1;
}
