// Platform: the file operations that standard C++ lacks, and paths and
// error texts in the system's own terms. One implementation per system;
// nothing above this file asks which system it runs on.
#ifndef FERROW_CONVERTER_PLATFORM_H
#define FERROW_CONVERTER_PLATFORM_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// Makes the process-wide settings that the converter relies on: a write
// past a file-size limit fails with an error instead of ending the process,
// standard input reads bytes untranslated.
void prepare_process();

// The calling thread's last system error, as the functions below leave it
// when they fail, and its text for a message.
int last_error();
std::string error_text(int error);

// Opens an existing file to read bytes. Null on failure.
std::FILE* open_for_reading(const char* path);

// Opens a file to append bytes, creating it when absent; it may be read as
// well. Null on failure.
std::FILE* open_for_appending(const char* path);

// Opens an existing file to read and rewrite bytes. Null on failure.
std::FILE* open_for_update(const char* path);

// Waits for an exclusive advisory lock on an open file; it goes with the
// close or unlock_file.
bool lock_file(std::FILE* stream);

// Takes the same lock only if no other process holds it.
bool try_lock_file(std::FILE* stream);

void unlock_file(std::FILE* stream);

// The file's size in bytes; the stream is left at its end.
bool file_size(std::FILE* stream, int64_t* size);

// Positions the stream at offset from the file's start.
bool seek_to(std::FILE* stream, int64_t offset);

// Cuts the file back to size bytes.
bool truncate_file(std::FILE* stream, int64_t size);

// Makes what was written to the file durable.
bool sync_file(std::FILE* stream);

// True when path names a directory; otherwise false with the error.
bool is_directory(const char* path, int* error);

// True when both paths exist and name the same file.
bool same_file(const char* first, const char* second);

// The absolute form of an existing path.
bool absolute_path(const char* path, std::string* absolute);

// Replaces the file at path by content, so that a crash leaves either the
// old file or the new one, and the new one durably: a fresh temporary file
// beside it, synced, renamed over it, the directory synced.
bool replace_file(const char* path, const std::string& content, int* error);

// Opens, creating when absent, a file that only serves as a lock and is
// never written. Null on failure.
std::FILE* open_lock_file(const char* path);

#endif
