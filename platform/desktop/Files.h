// How the program creates the files and folders it writes: files 0600, folders 0700, and never
// through a symbolic link, so nothing it writes lands in a file someone else put in the way.
#pragma once

#include <ext/stdio_filebuf.h>

#include <filesystem>
#include <memory>
#include <ostream>
#include <string>

namespace zl::desktop {

enum class WriteMode {
    // A new file; fails with EEXIST when the name is taken.
    CreateNew,
    // A new file or an empty one (a name reserved by creating it); never a file with content,
    // which is left as it is (EEXIST).
    FillEmpty,
    // A new file, or the existing one emptied: a file the user chose to replace.
    Replace,
    // A new file, or the end of the existing one.
    Append,
};

// Opens `path` for writing. A new file is 0600; a symbolic link in the last place of the path is
// never followed (ELOOP) and only a regular file is written (EISDIR / ENXIO otherwise). Returns
// the descriptor (close-on-exec), or -1 with errno set.
int OpenForWriting(const std::string& path, WriteMode mode);
// The same for `name` in the folder open as `folder` (a path relative to it).
int OpenForWritingAt(int folder, const std::string& name, WriteMode mode);

// An output stream on a file opened by OpenForWriting.
class FileWriter : public std::ostream {
  public:
    FileWriter();
    ~FileWriter() override;
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // False with errno set when the file cannot be opened; the stream is then bad.
    bool Open(const std::string& path, WriteMode mode, std::size_t bufferSize = 1 << 13);
    // The same for `name` in the folder open as `folder`.
    bool OpenAt(int folder, const std::string& name, WriteMode mode,
                std::size_t bufferSize = 1 << 13);
    bool is_open() const { return buf_ && buf_->is_open(); }
    // Writes out what is buffered and closes the file; the fail bit tells whether all of it
    // reached the file.
    void close();

  private:
    bool Attach(int fd, WriteMode mode, std::size_t bufferSize);

    std::unique_ptr<__gnu_cxx::stdio_filebuf<char>> buf_;
};

// Owns a descriptor and closes it.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

  private:
    int fd_;
};

// Creates every missing folder of `relative` (levels separated by "/") below the existing folder
// `base`, 0700, and returns a descriptor of the last one. A level that is a symbolic link or no
// folder is refused (ELOOP / ENOTDIR): the repository's own folders are never followed elsewhere.
// Missing levels of `base` itself are made 0700 too; `base` may be a link (the configured
// place of the repository). An invalid descriptor with errno set on failure.
FileDescriptor OpenPrivateFolder(const std::string& base, const std::string& relative);

// Opens the existing folder `relative` below the existing folder `base`, creating nothing. As in
// OpenPrivateFolder, no level of `relative` is followed through a symbolic link (ELOOP) and
// `base` may be one: a folder swapped for a link after it was made is refused.
FileDescriptor OpenFolderBelow(const std::string& base, const std::string& relative);

// Creates `name` exclusively in the folder `folder` (a descriptor from OpenPrivateFolder), empty
// and 0600. False with errno EEXIST when the name is taken, or another errno.
bool CreateEmptyFileAt(int folder, const std::string& name);

// Whether `file` lies below `folder`, their levels compared as they stand (make both canonical
// first); a trailing "/" of the folder counts for nothing.
bool IsInside(const std::filesystem::path& file, const std::filesystem::path& folder);

}  // namespace zl::desktop
