#include "platform/desktop/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace zl::desktop {
namespace {

constexpr mode_t kFileMode = 0600;
constexpr mode_t kFolderMode = 0700;

// Closes the descriptor without disturbing the errno that tells why it is being given up.
int GiveUp(int fd, int error) {
    ::close(fd);
    errno = error;
    return -1;
}

// mkdir for every missing level of `path`; existing levels stay as they are.
void MakeMissingLevels(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
        ::mkdir(path.substr(0, slash).c_str(), kFolderMode);
    ::mkdir(path.c_str(), kFolderMode);
}

// A descriptor of every level of `relative` below the folder `fd` (which it takes over), each
// opened without following a link; missing levels are made 0700 when `create` is set.
FileDescriptor WalkDown(int fd, const std::string& relative, bool create) {
    std::size_t start = 0;
    while (start < relative.size()) {
        std::size_t end = relative.find('/', start);
        if (end == std::string::npos)
            end = relative.size();
        const std::string level = relative.substr(start, end - start);
        start = end + 1;
        if (level.empty())
            continue;
        if (level == "..")
            return FileDescriptor(GiveUp(fd, EINVAL));
        if (create)
            ::mkdirat(fd, level.c_str(), kFolderMode);
        const int next =
            ::openat(fd, level.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0)
            return FileDescriptor(GiveUp(fd, errno));
        ::close(fd);
        fd = next;
    }
    return FileDescriptor(fd);
}

int OpenFolder(const std::string& path) {
    return ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

}  // namespace

int OpenForWriting(const std::string& path, WriteMode mode) {
    return OpenForWritingAt(AT_FDCWD, path, mode);
}

int OpenForWritingAt(int folder, const std::string& name, WriteMode mode) {
    // Non-blocking only while opening: a named pipe in the way must not hang the program.
    int flags = O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_CREAT;
    switch (mode) {
        case WriteMode::CreateNew:
            flags |= O_EXCL;
            break;
        case WriteMode::FillEmpty:
            break;
        case WriteMode::Replace:
            flags |= O_TRUNC;
            break;
        case WriteMode::Append:
            flags |= O_APPEND;
            break;
    }
    const int fd = ::openat(folder, name.c_str(), flags, kFileMode);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return GiveUp(fd, errno);
    if (!S_ISREG(st.st_mode))
        return GiveUp(fd, S_ISDIR(st.st_mode) ? EISDIR : ENXIO);
    if (mode == WriteMode::FillEmpty && st.st_size != 0)
        return GiveUp(fd, EEXIST);
    // A file made before the program kept its files private becomes private now (only its
    // owner can change that; a file of someone else's keeps its mode).
    if ((st.st_mode & 077) != 0)
        ::fchmod(fd, kFileMode);
    const int status = ::fcntl(fd, F_GETFL);
    if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) < 0)
        return GiveUp(fd, errno);
    return fd;
}

FileWriter::FileWriter() : std::ostream(nullptr) {}

FileWriter::~FileWriter() = default;

bool FileWriter::Open(const std::string& path, WriteMode mode, std::size_t bufferSize) {
    close();
    return Attach(OpenForWriting(path, mode), mode, bufferSize);
}

bool FileWriter::OpenAt(int folder, const std::string& name, WriteMode mode,
                        std::size_t bufferSize) {
    close();
    return Attach(OpenForWritingAt(folder, name, mode), mode, bufferSize);
}

bool FileWriter::Attach(int fd, WriteMode mode, std::size_t bufferSize) {
    if (fd < 0) {
        setstate(std::ios::badbit);
        return false;
    }
    std::ios::openmode openMode = std::ios::out | std::ios::binary;
    if (mode == WriteMode::Append)
        openMode |= std::ios::app;
    auto buf = std::make_unique<__gnu_cxx::stdio_filebuf<char>>(fd, openMode, bufferSize);
    rdbuf(buf.get());  // clears the state
    buf_ = std::move(buf);
    return true;
}

void FileWriter::close() {
    // The closed buffer stays attached: a stream without one would read as failed.
    if (buf_ && buf_->is_open() && buf_->close() == nullptr)
        setstate(std::ios::failbit);
}

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0)
        ::close(fd_);
}

FileDescriptor OpenPrivateFolder(const std::string& base, const std::string& relative) {
    MakeMissingLevels(base);
    const int fd = OpenFolder(base);
    if (fd < 0)
        return FileDescriptor();
    return WalkDown(fd, relative, true);
}

FileDescriptor OpenFolderBelow(const std::string& base, const std::string& relative) {
    const int fd = OpenFolder(base);
    if (fd < 0)
        return FileDescriptor();
    return WalkDown(fd, relative, false);
}

bool CreateEmptyFileAt(int folder, const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") {
        errno = EINVAL;
        return false;
    }
    const int fd = ::openat(folder, name.c_str(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kFileMode);
    if (fd < 0)
        return false;
    return ::close(fd) == 0;
}

bool IsInside(const std::filesystem::path& file, const std::filesystem::path& folder) {
    auto f = file.begin();
    for (const std::filesystem::path& level : folder) {
        if (level.empty())
            continue;
        if (f == file.end() || *f != level)
            return false;
        ++f;
    }
    return f != file.end();
}

}  // namespace zl::desktop
