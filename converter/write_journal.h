// Write journal: how a run that must be undoable hears of the files it is
// about to change.
#ifndef FERROW_CONVERTER_WRITE_JOURNAL_H
#define FERROW_CONVERTER_WRITE_JOURNAL_H

#include <cstdint>
#include <string>

// Told before a run first writes to a file, with the file's size then, so
// that a run cut short can be undone by cutting the file back to it. note
// returns false, with the error, when that could not be made durable; the
// file must then not be written.
struct WriteJournal {
  bool (*note)(void* context, const std::string& path, int64_t size,
               int* error);
  void* context;
};

#endif
