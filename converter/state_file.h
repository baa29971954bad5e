// State file: where an incremental run goes on, and what it must undo when
// the run before it was cut short; text that a person can read.
#ifndef FERROW_CONVERTER_STATE_FILE_H
#define FERROW_CONVERTER_STATE_FILE_H

#include <cstdint>
#include <string>
#include <vector>

// The bytes on both sides of the saved position that must be unchanged for
// a run to go on from it.
struct Fingerprint {
  uint64_t head_size;  // bytes from the start of the input
  uint64_t head_hash;
  uint64_t window_size;  // bytes just before the position
  uint64_t window_hash;
};

// A file that a run not yet committed may have appended to, and its size
// before the run.
struct PendingFile {
  std::string path;  // absolute
  int64_t size;
  bool is_rejects;  // the reject file, else a daily file
};

struct StateRecord {
  std::string program;
  std::string version;
  std::string input;      // absolute, for the reader's information
  std::string saved;      // UTC time of the last save
  uint64_t position = 0;  // every line before it is converted
  Fingerprint fingerprint = {};
  std::vector<PendingFile> pending;  // non-empty: a run may be cut short
};

// Window sizes: a cheap check, not a full rescan.
constexpr uint64_t FINGERPRINT_SPAN = 4096;

std::string format_state(const StateRecord& state);

// Reads the text of a state file. False when it is not one; error then
// says which line is wrong.
bool parse_state(const std::string& text, StateRecord* state,
                 std::string* error);

// FNV-1a, 64 bits, continued from hash.
uint64_t hash_bytes(uint64_t hash, const char* bytes, size_t size);
constexpr uint64_t HASH_START = 14695981039346656037ULL;

#endif
