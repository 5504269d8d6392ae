#pragma once

#include <string>
#include <string_view>

// Replaces a file only once its new content is completely on disk: the text goes to a
// temporary file beside the target, which is renamed over the target after every write,
// the flush and the close succeeded. Until then, and after any failure, the previous file
// is untouched and the temporary file is gone.
//
// A symbolic link is followed to the file it names, and an existing file keeps its
// permissions. A target that is a device or a pipe is written directly.
class SafeFileWriter {
  public:
    SafeFileWriter() = default;
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    bool open(const std::string& path);
    bool write(std::string_view data);
    bool commit();

    // After a failure: whether the file could not even be opened, and the system's reason.
    bool failedToOpen() const { return failedToOpen_; }
    const std::string& error() const { return error_; }

  private:
    bool fail(int errorNumber);
    void discard();

    std::string target_;
    std::string temporary_; // empty when writing the target directly
    int fd_ = -1;
    bool failedToOpen_ = false;
    std::string error_;
};
