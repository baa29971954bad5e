// Platform: POSIX.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "converter/platform.h"

namespace {

// The directory part of path, for the temporary file and the sync that
// makes a rename durable.
std::string directory_of(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool write_all(int descriptor, const std::string& content) {
  size_t done = 0;
  while (done < content.size()) {
    const ssize_t wrote =
        write(descriptor, content.data() + done, content.size() - done);
    if (wrote < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(wrote);
  }
  return true;
}

}  // namespace

void prepare_process() { std::signal(SIGXFSZ, SIG_IGN); }

int last_error() { return errno; }

std::string error_text(int error) { return std::strerror(error); }

std::FILE* open_for_reading(const char* path) {
  errno = 0;
  return std::fopen(path, "rb");
}

std::FILE* open_for_appending(const char* path) {
  errno = 0;
  return std::fopen(path, "a+b");
}

std::FILE* open_for_update(const char* path) {
  errno = 0;
  return std::fopen(path, "r+b");
}

bool lock_file(std::FILE* stream) {
  const int descriptor = fileno(stream);
  int result;
  do {
    result = flock(descriptor, LOCK_EX);
  } while (result != 0 && errno == EINTR);
  return result == 0;
}

bool try_lock_file(std::FILE* stream) {
  return flock(fileno(stream), LOCK_EX | LOCK_NB) == 0;
}

void unlock_file(std::FILE* stream) { flock(fileno(stream), LOCK_UN); }

bool file_size(std::FILE* stream, int64_t* size) {
  errno = 0;
  if (fseeko(stream, 0, SEEK_END) != 0) return false;
  const off_t end = ftello(stream);
  if (end < 0) return false;
  *size = static_cast<int64_t>(end);
  return true;
}

bool seek_to(std::FILE* stream, int64_t offset) {
  errno = 0;
  return fseeko(stream, static_cast<off_t>(offset), SEEK_SET) == 0;
}

bool truncate_file(std::FILE* stream, int64_t size) {
  errno = 0;
  return ftruncate(fileno(stream), static_cast<off_t>(size)) == 0;
}

bool sync_file(std::FILE* stream) {
  errno = 0;
  return std::fflush(stream) == 0 && fsync(fileno(stream)) == 0;
}

bool is_directory(const char* path, int* error) {
  struct stat status;
  if (stat(path, &status) != 0) {
    *error = errno;
    return false;
  }
  if (!S_ISDIR(status.st_mode)) {
    *error = ENOTDIR;
    return false;
  }
  return true;
}

bool same_file(const char* first, const char* second) {
  struct stat one;
  struct stat other;
  return stat(first, &one) == 0 && stat(second, &other) == 0 &&
         one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

bool absolute_path(const char* path, std::string* absolute) {
  char* resolved = realpath(path, nullptr);
  if (resolved == nullptr) return false;
  *absolute = resolved;
  std::free(resolved);
  return true;
}

bool replace_file(const char* path, const std::string& content, int* error) {
  std::string temporary = std::string(path) + ".XXXXXX";
  const int descriptor = mkstemp(&temporary[0]);
  if (descriptor < 0) {
    *error = errno;
    return false;
  }
  bool ok = write_all(descriptor, content) && fsync(descriptor) == 0;
  if (!ok) *error = errno;
  if (close(descriptor) != 0 && ok) {
    *error = errno;
    ok = false;
  }
  if (ok && rename(temporary.c_str(), path) != 0) {
    *error = errno;
    ok = false;
  }
  if (!ok) {
    unlink(temporary.c_str());
    return false;
  }
  const int directory =
      open(directory_of(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directory < 0 || fsync(directory) != 0) {
    *error = errno;
    if (directory >= 0) close(directory);
    return false;
  }
  close(directory);
  return true;
}

std::FILE* open_lock_file(const char* path) {
  // Never written, and a link planted under its name is refused rather
  // than followed.
  const int descriptor =
      open(path, O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (descriptor < 0) return nullptr;
  std::FILE* stream = fdopen(descriptor, "r+b");
  if (stream == nullptr) close(descriptor);
  return stream;
}
