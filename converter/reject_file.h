// Reject file: input lines that do not become rows, kept as they stood so
// that they can be mended and converted again.
#ifndef FERROW_CONVERTER_REJECT_FILE_H
#define FERROW_CONVERTER_REJECT_FILE_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "converter/field_cursor.h"
#include "converter/run_report.h"
#include "converter/write_journal.h"

// Room for rejected lines between writes.
constexpr size_t REJECT_BUFFER_SIZE = size_t{64} << 10;

// The file is opened at the first rejected line, so that a clean run leaves
// none behind, and appended to in whole lines under its lock: runs sharing
// it take turns line by line.
struct RejectFile {
  std::string path;  // empty: rejected lines are not kept
  std::FILE* stream;
  char* buffer;  // REJECT_BUFFER_SIZE bytes, the caller's
  size_t size;
  bool opened;                  // the file has been opened in this run
  int64_t long_start;           // where the line in pieces began in the file
  const WriteJournal* journal;  // told of the file before it is written
  bool durable;                 // synced before it is closed
  Failure* failure;

  ~RejectFile();
};

void start_rejects(RejectFile* rejects, const std::string& path, char* buffer,
                   const WriteJournal* journal, bool durable, Failure* failure);

bool keeps_rejects(const RejectFile* rejects);

// True when the line, as it stood, has no LF: the input's last line. It is
// kept with one added.
bool lacks_line_end(FieldText raw);

// Keeps one whole line; a line without LF (the input's last) gets one.
[[nodiscard]] bool keep_line(RejectFile* rejects, FieldText raw);

// Keeps a piece of a line too long to hold; the first piece locks the file
// until the last, which gets an LF when it has none.
[[nodiscard]] bool keep_piece(RejectFile* rejects, FieldText raw, bool first,
                              bool last);

// Takes back the pieces of a line that did not end after all.
[[nodiscard]] bool drop_pieces(RejectFile* rejects);

// Writes what is collected and closes the file.
[[nodiscard]] bool close_rejects(RejectFile* rejects);

#endif
