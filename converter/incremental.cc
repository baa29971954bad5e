// Incremental conversion: a growing input converted exactly once across
// runs and crashes, its progress kept in a state file.
#include "converter/incremental.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

#include "converter/conversion.h"
#include "converter/platform.h"
#include "converter/recovery.h"
#include "converter/state_file.h"

#ifndef FERROW_VERSION
#error "the build sets FERROW_VERSION"
#endif

namespace {

struct CloseFile {
  void operator()(std::FILE* stream) const { std::fclose(stream); }
};
using FileHandle = std::unique_ptr<std::FILE, CloseFile>;

struct Run {
  const Options* options;
  const ConverterProfile* profile;
  RunReport* report;
  std::string state_path;
  StateRecord state;
};

std::string now_text() {
  const std::time_t now = std::time(nullptr);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", std::gmtime(&now));
  return text;
}

// Saves the record as this run writes it: its program, version and time.
bool write_state(Run* run, int* error) {
  run->state.program = run->profile->program_name;
  run->state.version = FERROW_VERSION;
  run->state.saved = now_text();
  return replace_file(run->state_path.c_str(), format_state(run->state), error);
}

bool save(Run* run) {
  int error = 0;
  return write_state(run, &error) ||
         record_failure(&run->report->failure, "write state file",
                        run->state_path, error);
}

// Reads the state file; an absent one means the start of the input.
bool load(Run* run) {
  FileHandle file(open_for_reading(run->state_path.c_str()));
  if (!file) {
    if (last_error() == ENOENT) return true;
    return record_failure(&run->report->failure, "read state file",
                          run->state_path, last_error());
  }
  std::string text;
  char block[4096];
  size_t got;
  while ((got = std::fread(block, 1, sizeof block, file.get())) > 0) {
    text.append(block, got);
  }
  if (std::ferror(file.get())) {
    return record_failure(&run->report->failure, "read state file",
                          run->state_path, last_error());
  }
  std::string where;
  if (!parse_state(text, &run->state, &where)) {
    return record_refusal(&run->report->failure,
                          "The state file " + run->state_path +
                              " cannot be read: " + where +
                              " is not as this program writes it.");
  }
  if (run->state.program != run->profile->program_name) {
    return record_refusal(&run->report->failure,
                          "The state file " + run->state_path + " belongs to " +
                              run->state.program + ", not " +
                              run->profile->program_name + ".");
  }
  return true;
}

bool hash_range(std::FILE* input, uint64_t offset, uint64_t size,
                uint64_t* hash) {
  char block[FINGERPRINT_SPAN];
  if (size > sizeof block || !seek_to(input, static_cast<int64_t>(offset)) ||
      std::fread(block, 1, static_cast<size_t>(size), input) != size) {
    return false;
  }
  *hash = hash_bytes(HASH_START, block, static_cast<size_t>(size));
  return true;
}

// The input's first bytes and the bytes just before position.
bool take_fingerprint(std::FILE* input, uint64_t position,
                      Fingerprint* fingerprint) {
  fingerprint->head_size = std::min(position, FINGERPRINT_SPAN);
  fingerprint->window_size = std::min(position, FINGERPRINT_SPAN);
  return hash_range(input, 0, fingerprint->head_size,
                    &fingerprint->head_hash) &&
         hash_range(input, position - fingerprint->window_size,
                    fingerprint->window_size, &fingerprint->window_hash);
}

// Refuses to go on from a position that is not in this input any more.
bool check_input(Run* run, std::FILE* input) {
  const StateRecord& state = run->state;
  int64_t size = 0;
  if (!file_size(input, &size)) {
    return record_failure(&run->report->failure, "read input file",
                          run->options->input, last_error());
  }
  const char* what = nullptr;
  Fingerprint now = {};
  if (static_cast<uint64_t>(size) < state.position) {
    what = "is shorter than";
  } else if (state.position == 0) {
    return true;
  } else if (!take_fingerprint(input, state.position, &now)) {
    return record_failure(&run->report->failure, "read input file",
                          run->options->input, last_error());
  } else if (now.head_hash != state.fingerprint.head_hash ||
             now.window_hash != state.fingerprint.window_hash ||
             now.head_size != state.fingerprint.head_size) {
    what = "has changed before";
  }
  if (what == nullptr) return true;
  return record_refusal(
      &run->report->failure,
      std::string("The input file ") + run->options->input + " " + what +
          " the position " + std::to_string(state.position) +
          " saved in the state file " + run->state_path +
          ": it is not the file that was converted. Nothing was written; "
          "delete " +
          run->state_path + " to convert the input from its start.");
}

// Told of each file before the run first writes to it: its size goes into
// the state file, durably, so that a run cut short can be undone.
bool note_pending(void* context, const std::string& path, int64_t size,
                  int* error) {
  auto* run = static_cast<Run*>(context);
  PendingFile file{"", size, false};
  if (!absolute_path(path.c_str(), &file.path)) {
    *error = last_error();
    return false;
  }
  file.is_rejects =
      run->options->rejects != nullptr && path == run->options->rejects;
  run->state.pending.push_back(file);
  return write_state(run, error);
}

// Undoes what the pending files got after the position, then saves the
// state without them.
bool roll_back(Run* run, std::FILE* input) {
  if (!seek_to(input, static_cast<int64_t>(run->state.position)) ||
      !undo_pending(run->state, input, run->state_path.c_str(), *run->profile,
                    &run->report->failure)) {
    return false;
  }
  run->state.pending.clear();
  return save(run);
}

bool convert_new_lines(Run* run, std::FILE* input) {
  StateRecord& state = run->state;
  if (!seek_to(input, static_cast<int64_t>(state.position))) {
    return record_failure(&run->report->failure, "read input file",
                          run->options->input, last_error());
  }
  const WriteJournal journal = {note_pending, run};
  const Pass pass = {input, run->options->input, state.position, true, &journal,
                     true};
  uint64_t consumed = 0;
  const bool ok =
      convert_lines(pass, *run->options, *run->profile, run->report, &consumed);
  run->report->consumed = consumed - state.position;
  if (!ok) {
    // A failed run leaves the files as it found them, and the position.
    if (!state.pending.empty()) roll_back(run, input);
    return false;
  }
  if (consumed == state.position && state.pending.empty()) return true;
  if (!take_fingerprint(input, consumed, &state.fingerprint)) {
    return record_failure(&run->report->failure, "read input file",
                          run->options->input, last_error());
  }
  state.position = consumed;
  state.pending.clear();
  return save(run);
}

}  // namespace

bool convert_incrementally(const Options& options,
                           const ConverterProfile& profile, RunReport* report) {
  Run run{&options, &profile, report, options.state, StateRecord{}};
  report->incremental = true;
  // Runs that share a state file take turns: the second waits.
  const std::string lock_path = run.state_path + ".lock";
  FileHandle lock(open_lock_file(lock_path.c_str()));
  if (!lock || !lock_file(lock.get())) {
    return record_failure(&report->failure, "lock state file", lock_path,
                          last_error());
  }
  if (!load(&run)) return false;
  report->start_offset = run.state.position;

  FileHandle input(open_for_reading(options.input));
  std::printf("Processing %s . . .\n", options.input);
  if (!input) {
    std::fputs("Error: Unable to open input file.\n", stdout);
    return false;
  }
  std::setvbuf(input.get(), nullptr, _IONBF, 0);
  if (!check_input(&run, input.get())) return false;
  if (!absolute_path(options.input, &run.state.input)) {
    return record_failure(&report->failure, "read input file", options.input,
                          last_error());
  }
  if (!run.state.pending.empty() && !roll_back(&run, input.get())) {
    return false;
  }
  return convert_new_lines(&run, input.get());
}
