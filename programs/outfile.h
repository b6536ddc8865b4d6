// Output streams on file descriptors that gather what is written into large
// blocks: one write call per block, whatever the sizes of the pieces. (A
// standard file stream writes every piece of 1 KiB or more at once, which
// for the trace file of a large chart means one system call per record.)
#ifndef TESSEL_OUTFILE_H
#define TESSEL_OUTFILE_H

#include <ostream>
#include <streambuf>
#include <string>
#include <memory>

// Writes all of text to fd, retrying short writes, interruptions and a
// descriptor that is not ready. False when the data cannot be written.
bool write_all(int fd, const char* text, size_t size);

class BlockBuffer : public std::streambuf {
public:
    explicit BlockBuffer(size_t size);
    void attach(int fd) { fd_ = fd; }
    int fd() const { return fd_; }
    // True when nothing was written, or what was ends with a newline.
    bool at_line_start() const { return last_ == '\n'; }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize size) override;
    int sync() override;

private:
    bool drain();

    // Left uninitialised: only the pages that output reaches are touched,
    // so a short run pays nothing for the block's size.
    std::unique_ptr<char[]> block_;
    size_t size_;
    int fd_ = -1;
    bool failed_ = false;
    char last_ = '\n';
};

class OutputFile : public std::ostream {
public:
    // Blocks of 256 KiB unless told otherwise.
    explicit OutputFile(int fd = -1, size_t block_size = 1 << 18);
    // Creates the file, or empties it; false when that fails.
    bool open(const std::string& name);
    bool is_open() const { return buffer_.fd() >= 0; }
    bool at_line_start() const { return buffer_.at_line_start(); }
    // Writes out what is buffered and closes the file; a failure sets failbit.
    void close();

private:
    BlockBuffer buffer_;
};

#endif
