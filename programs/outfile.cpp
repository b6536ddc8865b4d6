#include "outfile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

bool write_all(int fd, const char* text, size_t size)
{
    while (size > 0) {
        ssize_t n = ::write(fd, text, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                pollfd ready = {fd, POLLOUT, 0};
                ::poll(&ready, 1, -1);
                continue;
            }
            return false;
        }
        text += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

BlockBuffer::BlockBuffer(size_t size) : block_(new char[size]), size_(size)
{
    setp(block_.get(), block_.get() + size_);
}

bool BlockBuffer::drain()
{
    size_t size = static_cast<size_t>(pptr() - pbase());
    setp(block_.get(), block_.get() + size_);
    if (size > 0 && !failed_)
        failed_ = fd_ < 0 || !write_all(fd_, block_.get(), size);
    return !failed_;
}

BlockBuffer::int_type BlockBuffer::overflow(int_type c)
{
    if (!drain())
        return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
        last_ = traits_type::to_char_type(c);
    }
    return traits_type::not_eof(c);
}

std::streamsize BlockBuffer::xsputn(const char* text, std::streamsize size)
{
    if (size > 0)
        last_ = text[size - 1];
    std::streamsize done = 0;
    while (done < size) {
        if (pptr() == epptr() && !drain())
            break;
        std::streamsize room = epptr() - pptr();
        std::streamsize part = size - done < room ? size - done : room;
        std::memcpy(pptr(), text + done, static_cast<size_t>(part));
        pbump(static_cast<int>(part));
        done += part;
    }
    return done;
}

int BlockBuffer::sync()
{
    return drain() ? 0 : -1;
}

OutputFile::OutputFile(int fd, size_t block_size) : std::ostream(&buffer_), buffer_(block_size)
{
    buffer_.attach(fd);
}

bool OutputFile::open(const std::string& name)
{
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    buffer_.attach(fd);
    clear();
    return true;
}

void OutputFile::close()
{
    if (!is_open())
        return;
    flush();
    if (::close(buffer_.fd()) != 0)
        setstate(std::ios::failbit);
    buffer_.attach(-1);
}
