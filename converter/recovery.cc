// Recovery: undoes what an incremental run that was cut short appended.
#include "converter/recovery.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "converter/calendar.h"
#include "converter/file_end.h"
#include "converter/line_reader.h"
#include "converter/platform.h"
#include "converter/raw_record.h"
#include "converter/reject_file.h"
#include "converter/row_format.h"

namespace {

char input_block[READ_BUFFER_SIZE];
char squeezed_line[READ_BUFFER_SIZE];
char row_text[row_size_limit(MAX_LINE_SIZE, MAX_VALUE_COUNT)];

struct Target {
  const PendingFile* file;
  std::FILE* stream;  // null when the file is gone: nothing to undo
  int64_t size;       // its size now
  int64_t at;         // the next byte to compare
  bool settled;       // every byte after the old size has been compared
  bool foreign;       // a byte differs from what the run would write
};

// Compares the next bytes the run would have written with the file's.
void compare(Target* target, const char* bytes, size_t size) {
  char file_bytes[64 * 1024];
  while (!target->settled && size > 0) {
    const auto left = static_cast<uint64_t>(target->size - target->at);
    const size_t chunk = static_cast<size_t>(
        std::min<uint64_t>({left, size, sizeof file_bytes}));
    if (std::fread(file_bytes, 1, chunk, target->stream) != chunk ||
        std::memcmp(file_bytes, bytes, chunk) != 0) {
      target->foreign = true;
      target->settled = true;
      return;
    }
    target->at += static_cast<int64_t>(chunk);
    bytes += chunk;
    size -= chunk;
    target->settled = target->at == target->size;
  }
}

const char* base_name(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return path.c_str() + (slash == std::string::npos ? 0 : slash + 1);
}

// Opens and locks the file, and compares what the run wrote first: a line
// end after a cut-off line, or the header of a file it found empty.
bool open_target(Target* target, const ConverterProfile& profile,
                 Failure* failure) {
  const PendingFile& file = *target->file;
  target->stream = open_for_update(file.path.c_str());
  target->settled = true;
  target->foreign = false;
  if (target->stream == nullptr) return true;
  if (!lock_file(target->stream) || !file_size(target->stream, &target->size)) {
    return record_failure(failure, "recover", file.path, last_error());
  }
  // A file already at or below its old size holds nothing of the run.
  if (target->size <= file.size) return true;
  target->settled = false;
  bool ended = true;
  if (!ends_on_line(target->stream, file.size, &ended)) {
    return record_failure(failure, "recover", file.path, last_error());
  }
  std::string first;
  if (file.size == 0) {
    if (!file.is_rejects) first = std::string(profile.header_line) + ROW_END;
  } else if (!ended) {
    first = file.is_rejects ? "\n" : ROW_END;
  }
  target->at = file.size;
  compare(target, first.data(), first.size());
  return true;
}

bool all_settled(const std::vector<Target>& targets) {
  for (const Target& target : targets) {
    if (!target.settled) return false;
  }
  return true;
}

// Compares a line the run kept in the reject file, as keep_line or the
// last keep_piece wrote it.
void compare_kept(Target* rejects, FieldText raw, bool line_ends) {
  compare(rejects, raw.begin, static_cast<size_t>(raw.end - raw.begin));
  if (line_ends && lacks_line_end(raw)) compare(rejects, "\n", 1);
}

// Replays the run from the saved position, comparing as it goes, until
// every file is settled or the input ends.
void replay(std::FILE* input, const StateRecord& state,
            const ConverterProfile& profile, std::vector<Target>* targets) {
  Target* rejects = nullptr;
  for (Target& target : *targets) {
    if (target.file->is_rejects) rejects = &target;
  }
  LineReader reader;
  start_lines(&reader, input, input_block, squeezed_line, state.position, true);
  int32_t year = -1;
  int32_t day_of_year = -1;
  Target* day_target = nullptr;
  char date_prefix[DATE_PREFIX_SIZE];
  size_t prefix_size = 0;
  Line line;
  for (LineKind kind; !all_settled(*targets) &&
                      (kind = next_line(&reader, &line)) != LINE_END;) {
    if (kind == LINE_PIECE) {
      if (rejects != nullptr) compare_kept(rejects, line.raw, line.last);
      continue;
    }
    RawRecord record;
    RejectReason reason;
    if (!parse_record(line.text.begin, line.text.end, profile.value_count,
                      &record, &reason) ||
        !check_date(record, &reason)) {
      if (rejects != nullptr) compare_kept(rejects, line.raw, true);
      continue;
    }
    if (record.year != year || record.day_of_year != day_of_year) {
      year = record.year;
      day_of_year = record.day_of_year;
      int32_t month = 0;
      int32_t day = 0;
      date_from_day_of_year(day_of_year, year, &month, &day);
      char name[FILE_NAME_SIZE];
      format_file_name(name, year, month, day, profile.serial_text);
      prefix_size = format_date_prefix(date_prefix, year, month, day);
      day_target = nullptr;
      for (Target& target : *targets) {
        if (!target.file->is_rejects &&
            std::strcmp(base_name(target.file->path), name) == 0) {
          day_target = &target;
        }
      }
    }
    if (day_target == nullptr || day_target->settled) continue;
    const char* end = format_row(row_text, date_prefix, prefix_size, record,
                                 profile.value_count);
    compare(day_target, row_text, static_cast<size_t>(end - row_text));
  }
}

}  // namespace

bool undo_pending(const StateRecord& state, std::FILE* input,
                  const char* state_path, const ConverterProfile& profile,
                  Failure* failure) {
  std::vector<Target> targets(state.pending.size(),
                              Target{nullptr, nullptr, 0, 0, true, false});
  bool ok = true;
  for (size_t i = 0; i < targets.size() && ok; ++i) {
    targets[i].file = &state.pending[i];
    ok = open_target(&targets[i], profile, failure);
  }
  if (ok) replay(input, state, profile, &targets);
  for (const Target& target : targets) {
    if (!ok) break;
    // More bytes than the run would have written: another run appended.
    if (!target.settled || target.foreign) {
      ok = record_refusal(
          failure, "Unable to undo the run cut short in " + target.file->path +
                       ": it holds rows that run did not write after byte " +
                       std::to_string(target.file->size) +
                       ". Mend the file by hand, or delete " + state_path +
                       " and the daily files to convert from the start.");
    }
  }
  for (const Target& target : targets) {
    if (!ok) break;
    if (target.stream != nullptr && target.size > target.file->size &&
        (!truncate_file(target.stream, target.file->size) ||
         !sync_file(target.stream))) {
      ok = record_failure(failure, "recover", target.file->path, last_error());
    }
  }
  for (const Target& target : targets) {
    if (target.stream != nullptr) std::fclose(target.stream);
  }
  return ok;
}
