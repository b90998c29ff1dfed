// The report stream and the list reader over a pipe, where the system
// takes and gives bytes in parts and a signal can interrupt either side:
// every byte must pass once and in order, whatever the system does.

#include <fcntl.h>
#include <pthread.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <span>
#include <string>
#include <string_view>
#include <thread>

#include <gtest/gtest.h>

#include "recio/list_input.hpp"
#include "recio/units.hpp"

namespace {

using namespace std::chrono_literals;

void on_signal(int) {}

// A pipe of one page, with SIGUSR1 caught without SA_RESTART, so that a
// signal makes a blocked read or write return early. A write to a pipe
// whose read end is closed fails with EPIPE rather than ending the test.
class Pipe {
 public:
  Pipe() {
    EXPECT_EQ(pipe(fd_), 0);
    EXPECT_GT(fcntl(fd_[1], F_SETPIPE_SZ, 4096), 0);
    struct sigaction sa = {};
    sa.sa_handler = on_signal;
    sigaction(SIGUSR1, &sa, &old_usr1_);
    sa.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &sa, &old_pipe_);
  }
  ~Pipe() {
    close_write();
    close_read();
    sigaction(SIGUSR1, &old_usr1_, nullptr);
    sigaction(SIGPIPE, &old_pipe_, nullptr);
  }
  int read_end() const { return fd_[0]; }
  int write_end() const { return fd_[1]; }
  void close_write() { close_end(1); }
  void close_read() { close_end(0); }
  int buffered() const {
    int n = 0;
    ioctl(fd_[0], FIONREAD, &n);
    return n;
  }
  // Everything the write end sends until it is closed.
  std::string drain() const {
    std::string got;
    char buf[4096];
    for (ssize_t n; (n = read(fd_[0], buf, sizeof buf)) > 0;)
      got.append(buf, static_cast<std::size_t>(n));
    return got;
  }

 private:
  void close_end(int i) {
    if (fd_[i] >= 0) close(fd_[i]);
    fd_[i] = -1;
  }
  int fd_[2] = {-1, -1};
  struct sigaction old_usr1_ = {}, old_pipe_ = {};
};

std::string pattern(std::size_t size, char seed) {
  std::string s(size, ' ');
  for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>('!' + (seed + i * 7) % 90);
  return s;
}

// Texts smaller than the buffer and one larger than the whole buffer, read
// a pipe's page at a time; with `interrupt`, a signal every other
// millisecond, which mostly finds the writer waiting on the full pipe:
// write(2) has then taken one page of its bytes and returns with that part
// only, or with EINTR when it had taken none.
void expect_every_byte_once(bool interrupt) {
  Pipe p;
  const std::string parts[] = {pattern(100, 'a'), pattern(20000, 'b'), pattern(8000, 'c'),
                               pattern(10, 'd')};
  std::string all;
  for (const std::string& s : parts) all += s;
  std::atomic<bool> done = false, ok = false;
  std::thread writer([&] {
    recio::Stream out(p.write_end());
    bool good = true;
    for (const std::string& s : parts) good = good && out.put(s);
    ok = good && out.flush() && out.error() == 0;
    p.close_write();
    done = true;
  });
  std::string got;
  char buf[4096];
  while (!done) {
    if (got.size() > all.size()) p.close_read();  // bytes repeated: stop the writer
    std::this_thread::sleep_for(1ms);
    if (interrupt) pthread_kill(writer.native_handle(), SIGUSR1);
    std::this_thread::sleep_for(1ms);
    if (const int n = p.buffered();
        n > 0 && read(p.read_end(), buf, static_cast<std::size_t>(n)) != n)
      ADD_FAILURE() << "short read";
    else
      got.append(buf, static_cast<std::size_t>(n));
  }
  writer.join();
  got += p.drain();
  EXPECT_TRUE(ok);
  EXPECT_EQ(got.size(), all.size());
  EXPECT_TRUE(got == all) << "bytes lost, repeated or out of order";
}

TEST(stream, text_larger_than_the_buffer_passes_whole) { expect_every_byte_once(false); }

TEST(stream, a_write_taken_in_part_goes_on_with_the_rest_once) { expect_every_byte_once(true); }

// The system takes half the bytes, then refuses the rest (a pipe that
// does not wait, full); once the reader has made room, a later flush
// sends exactly the bytes not taken, from the buffer's start.
TEST(stream, a_flush_after_a_part_taken_and_a_failure_sends_the_rest) {
  Pipe p;
  ASSERT_EQ(fcntl(p.write_end(), F_SETFL, O_NONBLOCK), 0);
  const std::string text = pattern(8192, 'f');
  recio::Stream out(p.write_end());
  EXPECT_TRUE(out.put(text));
  EXPECT_FALSE(out.flush());
  EXPECT_EQ(out.error(), EAGAIN);
  EXPECT_EQ(out.pending(), std::string_view(text).substr(4096));
  std::string got(4096, '\0');
  ASSERT_EQ(read(p.read_end(), got.data(), got.size()), 4096);
  EXPECT_TRUE(out.flush());
  EXPECT_EQ(out.pending(), "");
  p.close_write();
  got += p.drain();
  EXPECT_TRUE(got == text) << "bytes lost, repeated or out of order";
}

// A stream without a descriptor only collects: the buffer's worth, then a
// refusal that keeps what it holds; flushing it is no error.
TEST(stream, without_a_descriptor_collects_up_to_its_buffer) {
  recio::Stream out(-1);
  const std::string full = pattern(8192, 'e');
  EXPECT_TRUE(out.put(full));
  EXPECT_FALSE(out.put("x"));
  EXPECT_EQ(out.error(), ENOBUFS);
  EXPECT_TRUE(out.flush());
  EXPECT_EQ(out.pending(), full);
}

// A read that a signal interrupts before any byte came is tried again, so
// the values still arrive; a reader that gave up would report "list in:
// Interrupted system call".
TEST(list_input, an_interrupted_read_is_tried_again) {
  Pipe p;
  std::array<float, 6> values{};
  recio::Fault fault = recio::Fault::end_of_file;
  int error = -1;
  std::thread reader([&] {
    std::array<char, 64> window;
    recio::Source in(p.read_end(), window);
    fault = recio::read_list(in, values);
    error = in.error();
  });
  for (int i = 0; i < 20; ++i) {
    std::this_thread::sleep_for(2ms);
    pthread_kill(reader.native_handle(), SIGUSR1);
  }
  const std::string text = "1 2 3 4 5 6\n";
  EXPECT_EQ(write(p.write_end(), text.data(), text.size()), static_cast<ssize_t>(text.size()));
  p.close_write();
  reader.join();
  EXPECT_EQ(fault, recio::Fault::none);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(values, (std::array<float, 6>{1, 2, 3, 4, 5, 6}));
}

// Reads that each return one byte: a file of one byte (a slash alone
// keeps the item; one digit with no line end is the item), and six values
// from a pipe written a byte at a time, each byte taken by the reader
// before the next is written.
TEST(list_input, reads_of_one_byte_are_read) {
  const struct {
    std::string text;
    std::size_t count;
    std::array<float, 6> values;
  } cases[] = {
      {"/", 1, {-1, -1, -1, -1, -1, -1}},
      {"7", 1, {7, -1, -1, -1, -1, -1}},
      {"1 2 3 4 5 6\n", 6, {1, 2, 3, 4, 5, 6}},
      {"1,,3 4/", 6, {1, -1, 3, 4, -1, -1}},
  };
  for (const auto& c : cases) {
    Pipe p;
    std::array<float, 6> values;
    values.fill(-1);
    recio::Fault fault = recio::Fault::end_of_file;
    std::atomic<bool> done = false;
    std::thread reader([&] {
      std::array<char, 64> window;
      recio::Source in(p.read_end(), window);
      fault = recio::read_list(in, std::span(values).first(c.count));
      done = true;
    });
    for (char byte : c.text) {
      if (done) break;
      EXPECT_EQ(write(p.write_end(), &byte, 1), 1);
      while (p.buffered() > 0 && !done) std::this_thread::sleep_for(100us);
    }
    p.close_write();
    reader.join();
    EXPECT_EQ(fault, recio::Fault::none) << c.text;
    EXPECT_EQ(values, c.values) << c.text;
  }
}

}  // namespace
