// Reject file: input lines that do not become rows, kept as they stood so
// that they can be mended and converted again.
#include "converter/reject_file.h"

#include <cstring>

#include "converter/file_end.h"
#include "converter/platform.h"

namespace {

bool fail(RejectFile* rejects, const char* action) {
  return record_failure(rejects->failure, action, rejects->path, last_error());
}

bool write_bytes(RejectFile* rejects, const char* bytes, size_t size) {
  errno = 0;
  return std::fwrite(bytes, 1, size, rejects->stream) == size;
}

// Opens the file when it is first needed, takes its lock and finds its end,
// ending a cut-off last line first. Returns the size before this write.
bool begin_write(RejectFile* rejects, int64_t* start) {
  if (rejects->stream == nullptr) {
    rejects->stream = open_for_appending(rejects->path.c_str());
    if (rejects->stream == nullptr) return fail(rejects, "open reject file");
    std::setvbuf(rejects->stream, nullptr, _IONBF, 0);
  }
  if (!lock_file(rejects->stream) || !file_size(rejects->stream, start)) {
    return fail(rejects, "open reject file");
  }
  if (!rejects->opened) {
    rejects->opened = true;
    int error = 0;
    if (rejects->journal != nullptr &&
        !rejects->journal->note(rejects->journal->context, rejects->path,
                                *start, &error)) {
      errno = error;
      return fail(rejects, "open reject file");
    }
  }
  bool ended = true;
  if (!ends_on_line(rejects->stream, *start, &ended)) {
    return fail(rejects, "open reject file");
  }
  if (ended) return true;
  if (!write_bytes(rejects, "\n", 1)) {
    truncate_file(rejects->stream, *start);
    return fail(rejects, "write reject file");
  }
  ++*start;
  return true;
}

// A failed write is cut back to where it began: the file keeps whole lines.
bool end_write(RejectFile* rejects, bool written, int64_t start) {
  if (!written) {
    const int error = last_error();
    truncate_file(rejects->stream, start);
    unlock_file(rejects->stream);
    errno = error;
    return fail(rejects, "write reject file");
  }
  unlock_file(rejects->stream);
  return true;
}

bool flush(RejectFile* rejects) {
  if (rejects->size == 0) return true;
  int64_t start = 0;
  if (!begin_write(rejects, &start)) return false;
  const size_t size = rejects->size;
  rejects->size = 0;
  return end_write(rejects, write_bytes(rejects, rejects->buffer, size), start);
}

}  // namespace

RejectFile::~RejectFile() {
  if (stream != nullptr) std::fclose(stream);
}

void start_rejects(RejectFile* rejects, const std::string& path, char* buffer,
                   const WriteJournal* journal, bool durable,
                   Failure* failure) {
  rejects->path = path;
  rejects->stream = nullptr;
  rejects->buffer = buffer;
  rejects->size = 0;
  rejects->opened = false;
  rejects->long_start = 0;
  rejects->journal = journal;
  rejects->durable = durable;
  rejects->failure = failure;
}

bool lacks_line_end(FieldText raw) {
  return raw.begin == raw.end || raw.end[-1] != '\n';
}

bool keeps_rejects(const RejectFile* rejects) { return !rejects->path.empty(); }

bool keep_line(RejectFile* rejects, FieldText raw) {
  const auto size = static_cast<size_t>(raw.end - raw.begin);
  const bool add_lf = lacks_line_end(raw);
  const size_t needed = size + (add_lf ? 1 : 0);
  if (REJECT_BUFFER_SIZE - rejects->size < needed && !flush(rejects)) {
    return false;
  }
  if (needed > REJECT_BUFFER_SIZE) {
    int64_t start = 0;
    if (!begin_write(rejects, &start)) return false;
    return end_write(rejects,
                     write_bytes(rejects, raw.begin, size) &&
                         (!add_lf || write_bytes(rejects, "\n", 1)),
                     start);
  }
  std::memcpy(rejects->buffer + rejects->size, raw.begin, size);
  rejects->size += size;
  if (add_lf) rejects->buffer[rejects->size++] = '\n';
  return true;
}

bool keep_piece(RejectFile* rejects, FieldText raw, bool first, bool last) {
  if (first) {
    if (!flush(rejects) || !begin_write(rejects, &rejects->long_start)) {
      return false;
    }
  }
  const auto size = static_cast<size_t>(raw.end - raw.begin);
  bool written = write_bytes(rejects, raw.begin, size);
  if (written && last && lacks_line_end(raw)) {
    written = write_bytes(rejects, "\n", 1);
  }
  if (!written || last) return end_write(rejects, written, rejects->long_start);
  return true;
}

bool drop_pieces(RejectFile* rejects) {
  const bool cut = truncate_file(rejects->stream, rejects->long_start);
  if (!cut) fail(rejects, "write reject file");
  unlock_file(rejects->stream);
  return cut;
}

bool close_rejects(RejectFile* rejects) {
  if (rejects->stream == nullptr && rejects->size == 0) return true;
  bool ok = flush(rejects);
  if (rejects->stream == nullptr) return ok;
  if (ok && rejects->durable && !sync_file(rejects->stream)) {
    ok = fail(rejects, "write reject file");
  }
  errno = 0;
  if (std::fclose(rejects->stream) != 0)
    ok = fail(rejects, "write reject file");
  rejects->stream = nullptr;
  return ok;
}
