// Platform: the few file operations that standard C++ lacks.
#include "converter/platform.h"

#if defined(__unix__) || defined(__APPLE__)
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

void prepare_process() { std::signal(SIGXFSZ, SIG_IGN); }

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

bool truncate_file(std::FILE* stream, long size) {
  return ftruncate(fileno(stream), static_cast<off_t>(size)) == 0;
}

#else

// Without a lock, runs that share a daily file may interleave their rows;
// a native build should lock with the platform's own call here.
void prepare_process() {}

bool lock_file(std::FILE*) { return true; }

bool try_lock_file(std::FILE*) { return true; }

bool truncate_file(std::FILE*, long) { return false; }

#endif
