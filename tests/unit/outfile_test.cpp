// The programs' output files (OutputFile): what reaches the descriptor, in
// the cases that the programs' own runs do not show for sure.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <fcntl.h>
#include <unistd.h>

#include "outfile.h"

namespace {

// Everything that can be read from fd until its end.
std::string read_all(int fd)
{
    std::string text;
    char buffer[65536];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(n));
    return text;
}

std::string pattern(size_t size)
{
    std::string text(size, '\0');
    for (size_t i = 0; i < size; ++i)
        text[i] = static_cast<char>('a' + i % 23);
    return text;
}

}  // namespace

// A caller may hand over a pipe in non-blocking mode: a full pipe then
// refuses writes instead of waiting, and the output must still arrive
// whole and in order once the reader catches up.
TEST(OutputFile, NonBlockingPipeGetsEverything)
{
    int fds[2];
    ASSERT_EQ(0, ::pipe(fds));
    ASSERT_EQ(0, ::fcntl(fds[1], F_SETFL, O_NONBLOCK));
    const std::string text = pattern(1 << 20);  // many times what a pipe holds
    std::string got;
    std::thread reader([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the pipe fills first
        got = read_all(fds[0]);
    });
    OutputFile out(fds[1]);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    EXPECT_FALSE(out.fail());
    reader.join();
    ::close(fds[0]);
    EXPECT_EQ(text.size(), got.size());
    EXPECT_TRUE(text == got);
}

// Single characters and pieces across the edges of a small block land in
// order; on a full device the first block that cannot go out fails the
// stream.
TEST(OutputFile, CharactersAcrossBlockEdges)
{
    char name[] = "/tmp/outfile-test.XXXXXX";
    int fd = ::mkstemp(name);
    ASSERT_GE(fd, 0);
    OutputFile out(fd, 4);
    for (char c : std::string("abcdefghij"))
        out.put(c);
    out << "klm" << 'n' << "opqrstu" << 'v';
    out.close();
    EXPECT_FALSE(out.fail());
    int in = ::open(name, O_RDONLY);
    EXPECT_EQ("abcdefghijklmnopqrstuv", read_all(in));
    ::close(in);
    std::remove(name);

    OutputFile full(::open("/dev/full", O_WRONLY), 4);
    for (char c : std::string("abcdefghij"))
        full.put(c);
    EXPECT_TRUE(full.bad());
    full.close();
}

// A failed close is reported (some file systems tell of lost data only
// then); a closed file is closed once, never again: its descriptor number
// may belong to another file by then.
TEST(OutputFile, CloseReportsFailureAndHappensOnce)
{
    int fd = ::open("/dev/null", O_WRONLY);
    ASSERT_GE(fd, 0);
    ::close(fd);
    OutputFile lost(fd);
    lost.close();
    EXPECT_TRUE(lost.fail());

    OutputFile out;
    ASSERT_TRUE(out.open("/dev/null"));
    out.close();
    EXPECT_FALSE(out.fail());
    int other = ::open("/dev/null", O_WRONLY);
    out.close();
    EXPECT_NE(-1, ::fcntl(other, F_GETFD)) << "the second close closed another file";
    ::close(other);
}
