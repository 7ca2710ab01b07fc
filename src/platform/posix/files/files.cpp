// CreateFileA: files, directories (with FILE_FLAG_BACKUP_SEMANTICS), links themselves
// (with FILE_FLAG_OPEN_REPARSE_POINT) and CONIN$.
//
// Share modes are accepted and not enforced: POSIX has no mandatory sharing, and the
// program only asks for the sharing it needs itself.
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <cstring>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/console/console_device.h"
#include "platform/posix/files/dos_attributes.h"
#include "platform/posix/files/holes.h"
#include "platform/posix/files/owned_directory.h"
#include "platform/posix/files/unnamed_files.h"
#include "platform/posix/paths/path_lookup.h"
#include "platform/posix/searches/recent_status.h"
#include "platform/posix/searches/searches.h"
#include "platform/posix/searches/table_cache.h"
#include "platform/posix/system/error_table.h"
#include "platform/posix/system/handles.h"

struct OpenRequest {
    DWORD access;
    DWORD disposition;
    DWORD flags;
    // The open file whose permission bits and holes a new file takes; null for none.
    const HandleObject* model;
};

static HANDLE fail_open(DWORD code)
{
    SetLastError(code);
    return INVALID_HANDLE_VALUE;
}

static HandleObject* new_file_object(int fd, bool is_directory)
{
    HandleObject* object = new_handle_object(HandleKind::file, fd);
    if (object == nullptr) {
        close(fd);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    object->is_directory = is_directory;
    return object;
}

static HANDLE new_file_handle(int fd, bool is_directory)
{
    HandleObject* object = new_file_object(fd, is_directory);
    return object != nullptr ? object : INVALID_HANDLE_VALUE;
}

// Windows opens a directory only for its backup semantics, and never to create it.
static HANDLE open_directory(const ResolvedPath& resolved, const OpenRequest& request)
{
    if ((request.flags & FILE_FLAG_BACKUP_SEMANTICS) == 0)
        return fail_open(ERROR_ACCESS_DENIED);
    if (request.disposition == CREATE_NEW)
        return fail_open(ERROR_FILE_EXISTS);
    if (request.disposition != OPEN_EXISTING && request.disposition != OPEN_ALWAYS)
        return fail_open(ERROR_ACCESS_DENIED);
    const int fd = open(resolved.host.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return fail_open(windows_error_for_path(errno, resolved.host.c_str()));
    return new_file_handle(fd, true);
}

static int access_flags_of(const OpenRequest& request)
{
    const bool reads = (request.access & GENERIC_READ) != 0;
    const bool writes = (request.access & GENERIC_WRITE) != 0;
    int flags = reads && writes ? O_RDWR : (writes ? O_WRONLY : O_RDONLY);
    if (request.flags & FILE_FLAG_WRITE_THROUGH)
        flags |= O_DSYNC;
    return flags;
}

static int open_flags_of(const OpenRequest& request)
{
    // O_NONBLOCK: an entry that became a FIFO since it was checked must not block open().
    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK | access_flags_of(request);
    if (request.disposition == CREATE_NEW)
        flags |= O_CREAT | O_EXCL;
    else if (request.disposition == CREATE_ALWAYS)
        flags |= O_CREAT | O_TRUNC;
    else if (request.disposition == OPEN_ALWAYS)
        flags |= O_CREAT;
    else if (request.disposition == TRUNCATE_EXISTING)
        flags |= O_TRUNC;
    return flags;
}

// What an existing entry allows before anything is opened: read-only files refuse
// writers, a dangling link cannot be opened, a link that loops cannot be resolved,
// CREATE_NEW refuses any entry, and only files and directories open at all: a FIFO
// would block open() and a device may act on being opened.
static DWORD check_existing(const ResolvedPath& resolved, const OpenRequest& request, struct stat* target,
                            bool target_known)
{
    if (request.disposition == CREATE_NEW)
        return ERROR_FILE_EXISTS;
    if (!target_known && stat(resolved.host.c_str(), target) != 0) {
        if (errno == ELOOP)
            return ERROR_CANT_RESOLVE_FILENAME;
        const bool opens = request.disposition == OPEN_EXISTING || request.disposition == TRUNCATE_EXISTING;
        return opens ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED;
    }
    if (!S_ISREG(target->st_mode) && !S_ISDIR(target->st_mode))
        return ERROR_ACCESS_DENIED;
    const bool writes = (request.access & GENERIC_WRITE) != 0 || request.disposition == CREATE_ALWAYS ||
                        request.disposition == TRUNCATE_EXISTING;
    if (!S_ISDIR(target->st_mode) && writes && (target->st_mode & S_IWUSR) == 0)
        return ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
}

// A created or replaced file takes the attributes it was created with, plus archive as
// Windows adds it; what cannot be stored stays at the defaults (SetFileAttributesA is
// the call that reports it). They are stored while the file is still writable: Linux
// lets only root write them on a file without write permission.
static void apply_creation_attributes(int fd, const ResolvedPath& resolved, DWORD attributes, bool existed)
{
    const char* slash = strrchr(resolved.host.c_str(), '/');
    const char* name = slash != nullptr ? slash + 1 : resolved.host.c_str();
    const DWORD wanted = (attributes | FILE_ATTRIBUTE_ARCHIVE) & STORED_FILE_BITS;
    if (existed || wanted != default_bits(name, false))
        store_bits_on(fd, wanted);
}

// The process's umask, read once: it filters the bits a file is made with.
static mode_t process_umask()
{
    static const mode_t mask = [] {
        const mode_t present = umask(0);
        umask(present);
        return present;
    }();
    return mask;
}

// A template's bits that a new file can be made with at once: its owner may read and
// write it (so that its stored bits can be written while it is open), the umask leaves
// them as they are, and there is no set-id or sticky bit to lose.
static bool made_with_final_bits(mode_t bits)
{
    return (bits & 0600) == 0600 && (bits & process_umask()) == 0 && (bits & 07000) == 0;
}

// The permission bits a new file ends with: its template's, exactly (as cp -p: the umask
// does not filter them, and the owner is the caller), or without a template what it was
// made with, less every write bit when it is read-only. Until its handle is closed it is
// owner-readable and -writable; the final bits are applied then, unless it was made with
// them.
static mode_t creation_mode(const OpenRequest& request)
{
    if (request.model == nullptr)
        return 0666;
    const mode_t bits = request.model->opened.st_mode & 07777;
    return made_with_final_bits(bits) ? bits : 0600;
}

static void plan_final_mode(int fd, const OpenRequest& request, CreatedFile* created)
{
    struct stat status;
    if (request.model != nullptr) {
        created->final_mode = request.model->opened.st_mode & 07777;
        created->sets_mode = !made_with_final_bits(created->final_mode);
    } else if ((request.flags & FILE_ATTRIBUTE_READONLY) && fstat(fd, &status) == 0) {
        created->sets_mode = true;
        created->final_mode = status.st_mode & 07777 & ~0222u;
    }
}

static void plan_creation(int fd, const OpenRequest& request, CreatedFile* created)
{
    plan_final_mode(fd, request, created);
    created->keeps_holes = request.model != nullptr && has_holes(request.model->fd, request.model->opened);
    created->write_through = (request.flags & FILE_FLAG_WRITE_THROUGH) != 0;
}

// The handle of a file this call made; on failure the file is given up.
static HANDLE created_file_handle(int fd, std::unique_ptr<CreatedFile> created)
{
    HandleObject* object = new_file_object(fd, false);
    if (object == nullptr) {
        discard_unnamed(created->temporary);
        return INVALID_HANDLE_VALUE;
    }
    object->created = std::move(created);
    return object;
}

static bool replaces_for_writing(const OpenRequest& request)
{
    return request.disposition == CREATE_ALWAYS && (request.access & GENERIC_WRITE) != 0;
}

// CREATE_ALWAYS for writing: the file is made without its name and takes it when it is
// closed, replacing what stands there then, so that a copy cut off before, even by
// SIGKILL or a power loss, is never found under the name (see unnamed_files.cpp).
// Differs from Windows: an existing file is replaced by a new one, not truncated, so its
// other hard links keep their contents, and a link under the name is replaced, not
// written through; its own permission bits still refuse a writer.
static HANDLE create_replacing(const ResolvedPath& resolved, const OpenRequest& request)
{
    if (resolved.exists && faccessat(AT_FDCWD, resolved.host.c_str(), W_OK, AT_EACCESS) != 0)
        return fail_open(ERROR_ACCESS_DENIED);
    auto created = std::make_unique<CreatedFile>();
    const int fd = create_unnamed_beside(resolved.host, access_flags_of(request), creation_mode(request),
                                         &created->temporary);
    if (fd < 0)
        return fail_open(windows_error_for_path(errno, resolved.host.c_str()));
    apply_creation_attributes(fd, resolved, request.flags & 0xFFFF, resolved.exists);
    created->name = resolved.host;
    created->replaces = true;
    plan_creation(fd, request, created.get());
    HANDLE handle = created_file_handle(fd, std::move(created));
    if (handle != INVALID_HANDLE_VALUE)
        SetLastError(resolved.exists ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

// The entry opened is a file after all (it may have been replaced since it was checked).
// O_NONBLOCK stays: the host ignores it for regular files, so reads and writes wait as
// usual, and clearing it would cost a host call per file.
static bool keep_only_files(int fd, struct stat* status)
{
    if (fstat(fd, status) != 0 || !S_ISREG(status->st_mode)) {
        close(fd);
        return false;
    }
    return true;
}

// Sequential reading widens the host's read-ahead, which only a file longer than its
// default window gains from; writes take no advice.
static const off_t READ_AHEAD_WORTH_ASKING = 256 * 1024;

static void advise_sequential(int fd, const OpenRequest& request, off_t size)
{
    if ((request.flags & FILE_FLAG_SEQUENTIAL_SCAN) && (request.access & GENERIC_READ) &&
        size > READ_AHEAD_WORTH_ASKING)
        posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
}

// parent, when it holds a descriptor, is the entry's directory as the walk reads it.
static HANDLE open_file(const ResolvedPath& resolved, const OpenRequest& request, const SearchedParent& parent)
{
    if (replaces_for_writing(request))
        return create_replacing(resolved, request);
    const int flags = open_flags_of(request);
    int fd = -1;
    const auto open_it = [&] {
        fd = openat(parent.directory_fd(), parent.name_in(resolved.host), flags, creation_mode(request));
        return fd >= 0 ? 0 : errno;
    };
    // A new entry in an owner's read-only directory is made as root would make it.
    errno = (flags & O_CREAT) ? change_in_owned_directory(resolved.host, open_it) : open_it();
    if (fd < 0) {
        if (errno == EEXIST && request.disposition == CREATE_NEW)
            return fail_open(ERROR_FILE_EXISTS);
        if (errno == ENXIO)
            return fail_open(ERROR_ACCESS_DENIED);
        return fail_open(windows_error_for_path(errno, resolved.host.c_str()));
    }
    struct stat status;
    if (!keep_only_files(fd, &status))
        return fail_open(ERROR_ACCESS_DENIED);
    std::unique_ptr<CreatedFile> created;
    if (!resolved.exists || request.disposition == CREATE_ALWAYS)
        apply_creation_attributes(fd, resolved, request.flags & 0xFFFF, resolved.exists);
    if (!resolved.exists) {
        note_entry_added(resolved.host, DT_REG);
        created = std::make_unique<CreatedFile>();
        plan_creation(fd, request, created.get());
    }
    advise_sequential(fd, request, status.st_size);
    HandleObject* object = new_file_object(fd, false);
    if (object == nullptr)
        return INVALID_HANDLE_VALUE;
    object->opened = status;
    object->created = std::move(created);
    const bool reports_existing = request.disposition == CREATE_ALWAYS || request.disposition == OPEN_ALWAYS;
    SetLastError(resolved.exists && reports_existing ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return object;
}

// A file that a search or a lookup has just read (recent_status.h) is opened for reading
// without being read again, before or after: the open does not follow a link, and the
// file's status is read when it is wanted (its identity, as a template). An entry that
// failed to open is left to the ordinary open, which reads it as it is then.
// Differs from the ordinary open: a directory, FIFO or device that another program put in
// the file's place within that moment is not refused at the open; reading it fails or
// reads what it holds.
static HANDLE open_recent_file(const WindowsPath& path, const std::string& host, const OpenRequest& request)
{
    EntryStatus seen;
    const bool reads_only = request.disposition == OPEN_EXISTING && (request.access & GENERIC_WRITE) == 0;
    if (!reads_only || !recent_file(host, &seen))
        return INVALID_HANDLE_VALUE;
    // Relative to the walked directory when a search holds it open, else by the path.
    SearchedParent parent;
    searched_parent_of(path, host, &parent);
    const int fd = openat(parent.directory_fd(), parent.name_in(host), open_flags_of(request) | O_NOFOLLOW);
    if (fd < 0)
        return INVALID_HANDLE_VALUE;
    advise_sequential(fd, request, static_cast<off_t>(seen.size));
    HandleObject* object = new_file_object(fd, false);
    if (object == nullptr)
        return INVALID_HANDLE_VALUE;
    object->seen_device = static_cast<dev_t>(seen.device);
    object->seen_inode = static_cast<ino_t>(seen.inode);
    SetLastError(ERROR_SUCCESS);
    return object;
}

// An entry that a lookup has just found missing is made at once when the call replaces
// whatever stands under its name: the file takes the name only when it is closed, and
// replaces what stands there then in any case. A file just read is opened for reading
// (above). False when this call cannot go by what the layer has just seen.
static bool open_recent_entry(const WindowsPath& path, ResolvedPath* resolved, const OpenRequest& request,
                              HANDLE* handle)
{
    if (resolved->host.size() > LONGEST_HOST_PATH)
        return false;
    if (replaces_for_writing(request) && recent_miss(resolved->host)) {
        resolved->exists = false;
        *handle = create_replacing(*resolved, request);
        return true;
    }
    *handle = open_recent_file(path, resolved->host, request);
    return *handle != INVALID_HANDLE_VALUE;
}

// FILE_FLAG_OPEN_REPARSE_POINT opens a link itself, never what it leads to (which may lie
// outside the tree, or be missing): the handle holds the link unfollowed, for its own
// times. It is never replaced or truncated through such a handle.
static bool names_link(const ResolvedPath& resolved, bool target_known)
{
    struct stat entry;
    return resolved.exists && !target_known && lstat(resolved.host.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode);
}

static HANDLE open_link_itself(const ResolvedPath& resolved, const OpenRequest& request)
{
    const bool opens = request.disposition == OPEN_EXISTING || request.disposition == OPEN_ALWAYS;
    if (!opens)
        return fail_open(request.disposition == CREATE_NEW ? ERROR_FILE_EXISTS : ERROR_ACCESS_DENIED);
    const int fd = open(resolved.host.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return fail_open(windows_error_for_path(errno, resolved.host.c_str()));
    HANDLE handle = new_file_handle(fd, false);
    if (handle != INVALID_HANDLE_VALUE)
        handle_object(handle)->link_path = resolved.host;
    return handle;
}

// The path as written (resolved->host) is read first: when it names an entry, that is the
// one the lookup would find, and unless it is a link its status is what the open checks.
// An entry of the directory the walk is reading is read, and opened, relative to the
// search's descriptor (parent).
static DWORD resolve_followed(const WindowsPath& path, ResolvedPath* resolved, struct stat* target,
                              bool* target_known, SearchedParent* parent)
{
    const size_t count = path.components.size();
    if (resolved->host.size() > LONGEST_HOST_PATH || count == 0)
        return resolve_components(path, count, resolved);
    if (searched_entry_status(path, resolved->host, parent, target) || lstat(resolved->host.c_str(), target) == 0) {
        resolved->exists = true;
        *target_known = !S_ISLNK(target->st_mode);
        return ERROR_SUCCESS;
    }
    return resolve_unspelled(path, count, errno, resolved);
}

// The file a template handle is open on; null for none. Only a file can be one. A file
// this layer made was not read when it was opened, and is read now.
static DWORD model_of(HANDLE template_file, const HandleObject** model)
{
    *model = nullptr;
    if (template_file == nullptr || template_file == INVALID_HANDLE_VALUE)
        return ERROR_SUCCESS;
    HandleObject* object = handle_object(template_file);
    if (object == nullptr || object->kind != HandleKind::file || object->is_directory)
        return ERROR_INVALID_HANDLE;
    if (!S_ISREG(object->opened.st_mode) && fstat(object->fd, &object->opened) != 0)
        return windows_error_of(errno);
    *model = object;
    return ERROR_SUCCESS;
}

// CreateFileA: opens or creates a file, or opens a directory with backup semantics. A
// template (open for reading) gives a new file its permission bits and its holes: the
// file ends with the template's bits when it is closed, and when the template has holes
// its zeros are written as holes. Windows takes the template's attributes and extended
// attributes; here the attributes come from flags_and_attributes as without one.
HANDLE CreateFileA(LPCSTR file_name, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD creation_disposition,
                   DWORD flags_and_attributes, HANDLE template_file)
{
    if (file_name == nullptr)
        return fail_open(ERROR_INVALID_PARAMETER);
    if (strcasecmp(file_name, "CONIN$") == 0)
        return open_console_device();
    OpenRequest request{access, creation_disposition, flags_and_attributes, nullptr};
    if (creation_disposition < CREATE_NEW || creation_disposition > TRUNCATE_EXISTING ||
        (creation_disposition == TRUNCATE_EXISTING && (access & GENERIC_WRITE) == 0))
        return fail_open(ERROR_INVALID_PARAMETER);
    const DWORD template_error = model_of(template_file, &request.model);
    if (template_error != ERROR_SUCCESS)
        return fail_open(template_error);
    WindowsPath path;
    const DWORD parse_error = parse_windows_path(file_name, false, &path);
    if (parse_error != ERROR_SUCCESS)
        return fail_open(parse_error);
    ResolvedPath resolved;
    resolved.host = literal_host_path(path, path.components.size());
    HANDLE recent = INVALID_HANDLE_VALUE;
    if (open_recent_entry(path, &resolved, request, &recent))
        return recent;
    struct stat target;
    bool target_known = false;
    SearchedParent parent;
    const DWORD error = resolve_followed(path, &resolved, &target, &target_known, &parent);
    if (error != ERROR_SUCCESS)
        return fail_open(error);
    if ((flags_and_attributes & FILE_FLAG_OPEN_REPARSE_POINT) && names_link(resolved, target_known))
        return open_link_itself(resolved, request);
    if (!resolved.exists)
        return request.disposition == OPEN_EXISTING || request.disposition == TRUNCATE_EXISTING
                   ? fail_open(ERROR_FILE_NOT_FOUND)
                   : open_file(resolved, request, parent);
    const DWORD refused = check_existing(resolved, request, &target, target_known);
    if (refused != ERROR_SUCCESS)
        return fail_open(refused);
    if (S_ISDIR(target.st_mode))
        return open_directory(resolved, request);
    return open_file(resolved, request, parent);
}
