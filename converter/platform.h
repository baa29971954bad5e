// Platform: the few file operations that standard C++ lacks.
#ifndef FERROW_CONVERTER_PLATFORM_H
#define FERROW_CONVERTER_PLATFORM_H

#include <cstdio>

// Makes a process-wide setting that the converter relies on: a write past a
// file-size limit fails with an error instead of ending the process.
void prepare_process();

// Waits for an exclusive advisory lock on an open file; the lock goes with
// the close. Where the platform has no such lock this succeeds at once.
bool lock_file(std::FILE* stream);

// Takes the same lock only if no other process holds it.
bool try_lock_file(std::FILE* stream);

// Cuts the file back to size bytes, dropping what a failed write left.
bool truncate_file(std::FILE* stream, long size);

#endif
