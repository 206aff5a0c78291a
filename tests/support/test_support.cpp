#include "tests/support/test_support.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <future>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace tesselor::testing {

namespace {

void RemoveTree(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return;
  if (S_ISDIR(info.st_mode)) {
    chmod(path.c_str(), 0700);  // tests make read-only folders
    for (const std::string& name : ListNames(path)) RemoveTree(path + "/" + name);
    rmdir(path.c_str());
  } else {
    unlink(path.c_str());
  }
}

}  // namespace

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/tesselor-test-XXXXXX";
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
  path_ = pattern + "/";
}

TempDir::~TempDir() {
  RemoveTree(path_.substr(0, path_.size() - 1));
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ReadFileText(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadFileBytes(path);
  return {bytes.begin(), bytes.end()};
}

void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

void MakeIdlePipe(const std::string& path) {
  if (mkfifo(path.c_str(), 0600) != 0) throw std::runtime_error("cannot make pipe " + path);
}

bool FinishesBesideIdlePipe(const std::string& path, const std::function<void()>& body) {
  std::packaged_task<void()> task(body);
  std::future<void> done = task.get_future();
  std::thread runner(std::move(task));
  const bool finished = done.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
  if (!finished) {
    const int writer = open(path.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) close(writer);
  }
  runner.join();
  done.get();
  return finished;
}

bool FileExists(const std::string& path) {
  return access(path.c_str(), F_OK) == 0;
}

std::vector<std::string> ListNames(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

void FillBitmap(CBmp& bmp, int width, int height, const std::function<Rgb(int, int)>& colour) {
  bmp.Create(width, height, 32, false);
  for (int y = 0; y < height; ++y) {
    uint8_t* line = bmp.lineArray[y];
    for (int x = 0; x < width; ++x) {
      const Rgb c = colour(x, y);
      line[4 * x] = c.b;
      line[4 * x + 1] = c.g;
      line[4 * x + 2] = c.r;
    }
  }
}

Rgb PixelAt(const CBmp& bmp, int x, int y) {
  const uint8_t* p = bmp.lineArray[y] + 4 * x;
  return {p[2], p[1], p[0]};
}

int RunCommand(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HaveProgram(const std::string& program) {
  return RunCommand("command -v " + program + " >/dev/null 2>&1") == 0;
}

BackgroundCommand::BackgroundCommand(const std::string& command) {
  pid_ = fork();
  if (pid_ == 0) {
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
}

BackgroundCommand::~BackgroundCommand() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  Wait();
}

bool BackgroundCommand::InterruptWhen(const std::function<bool()>& ready) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!ready()) {
    siginfo_t ended{};
    if (waitid(P_PID, static_cast<id_t>(pid_), &ended, WEXITED | WNOHANG | WNOWAIT) != 0 ||
        ended.si_pid != 0 || std::chrono::steady_clock::now() > deadline)
      return false;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  kill(pid_, SIGSTOP);
  kill(pid_, SIGINT);
  kill(pid_, SIGCONT);
  return true;
}

void BackgroundCommand::Interrupt() {
  kill(pid_, SIGINT);
}

int BackgroundCommand::Wait() {
  int status = 0;
  while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace tesselor::testing
