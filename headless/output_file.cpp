#include "headless/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bruvik {
namespace {

// Temporary names still to be removed should the program be interrupted. A signal handler may
// only read them, so they live in fixed buffers claimed through atomic flags.
constexpr int kSlots = 4;
constexpr std::size_t kNameMax = 4096;
std::array<std::array<char, kNameMax>, kSlots> g_names{};
std::array<std::atomic<bool>, kSlots> g_used{};
std::atomic<bool> g_handler_installed{false};

extern "C" void remove_pending_and_reraise(int sig) {
  for (int i = 0; i < kSlots; ++i) {
    if (g_used[static_cast<std::size_t>(i)].load())
      ::unlink(g_names[static_cast<std::size_t>(i)].data());
  }
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

void install_handler() {
  if (g_handler_installed.exchange(true)) return;
  struct sigaction action {};
  action.sa_handler = remove_pending_and_reraise;
  sigemptyset(&action.sa_mask);
  for (const int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &action, nullptr);
}

int claim_slot(const std::string& name) {
  if (name.size() >= kNameMax) return -1;
  for (int i = 0; i < kSlots; ++i) {
    auto& used = g_used[static_cast<std::size_t>(i)];
    bool expected = false;
    if (!used.load() && used.compare_exchange_strong(expected, true)) {
      // Marked used before the name is complete: the handler then unlinks a partial name at
      // worst, which names no file of ours.
      auto& buf = g_names[static_cast<std::size_t>(i)];
      std::memcpy(buf.data(), name.c_str(), name.size() + 1);
      return i;
    }
  }
  return -1;
}

void release_slot(int slot) {
  if (slot >= 0) g_used[static_cast<std::size_t>(slot)].store(false);
}

mode_t file_mode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

OutputFile::OutputFile(std::string path, std::string_view what)
    : path_(std::move(path)), what_(what) {
  struct stat st {};
  if (::stat(path_.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    fail("it is a folder");
    return;
  }
  const std::size_t slash = path_.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path_.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? path_ : path_.substr(slash + 1);
  std::string pattern = folder + "." + base + ".part-XXXXXX";
  install_handler();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) {
    fail(std::strerror(errno));
    return;
  }
  temp_ = pattern;
  slot_ = claim_slot(temp_);
  ::fchmod(fd, file_mode());  // mkstemp makes it private; the result is an ordinary file
  ::close(fd);
  stream_.open(temp_, std::ios::binary | std::ios::trunc);
  if (!stream_) fail("the file cannot be opened");
}

OutputFile::~OutputFile() {
  discard();
}

void OutputFile::fail(std::string_view why) {
  error_ = "cannot write the " + what_ + " to \"" + path_ + "\": " + std::string(why) + ".";
  discard();
}

void OutputFile::discard() {
  if (stream_.is_open()) stream_.close();
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    temp_.clear();
  }
  release_slot(slot_);
  slot_ = -1;
}

bool OutputFile::commit() {
  if (!ok()) return false;
  if (stream_.is_open()) {
    stream_.flush();
    const bool written = static_cast<bool>(stream_);
    stream_.close();
    if (!written || !stream_) {
      fail("writing failed (is the disk full?)");
      return false;
    }
  }
  if (std::rename(temp_.c_str(), path_.c_str()) != 0) {
    fail(std::strerror(errno));
    return false;
  }
  temp_.clear();
  release_slot(slot_);
  slot_ = -1;
  return true;
}

}  // namespace bruvik
