// State file: where an incremental run goes on, and what it must undo when
// the run before it was cut short; text that a person can read.
#include "converter/state_file.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <sstream>

namespace {

constexpr char MAGIC[] = "ferrow state 1";

// Paths are kept one to a line: control bytes and '%' are written as %XX.
std::string escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == '%') {
      char code[4];
      std::snprintf(code, sizeof code, "%%%02X", byte);
      out += code;
    } else {
      out += c;
    }
  }
  return out;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool unescape(const std::string& text, std::string* out) {
  out->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      *out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return false;
    const int high = hex_digit(text[i + 1]);
    const int low = hex_digit(text[i + 2]);
    if (high < 0 || low < 0) return false;
    *out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return true;
}

bool read_number(const std::string& text, uint64_t* value) {
  if (text.empty() || text.size() > 20) return false;
  uint64_t number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    const auto digit = static_cast<uint64_t>(c - '0');
    if (number > (UINT64_MAX - digit) / 10) return false;
    number = number * 10 + digit;
  }
  *value = number;
  return true;
}

bool read_hash(const std::string& text, uint64_t* value) {
  if (text.size() != 16) return false;
  uint64_t number = 0;
  for (char c : text) {
    const int digit = hex_digit(c);
    if (digit < 0) return false;
    number = number * 16 + static_cast<uint64_t>(digit);
  }
  *value = number;
  return true;
}

// Splits "key rest" at the first blank.
void split(const std::string& line, std::string* key, std::string* rest) {
  const size_t blank = line.find(' ');
  *key = line.substr(0, blank);
  *rest = blank == std::string::npos ? "" : line.substr(blank + 1);
}

}  // namespace

uint64_t hash_bytes(uint64_t hash, const char* bytes, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    hash ^= static_cast<unsigned char>(bytes[i]);
    hash *= 1099511628211ULL;
  }
  return hash;
}

std::string format_state(const StateRecord& state) {
  char numbers[160];
  std::string text = std::string(MAGIC) + "\n";
  text += "# Where " + state.program +
          " --state goes on. Delete this file to convert the input from "
          "its start.\n";
  text += "program " + state.program + "\n";
  text += "version " + state.version + "\n";
  text += "input " + escape(state.input) + "\n";
  text += "saved " + state.saved + "\n";
  std::snprintf(numbers, sizeof numbers,
                "position %" PRIu64 "\nhead %" PRIu64 " %016" PRIx64
                "\nwindow %" PRIu64 " %016" PRIx64 "\n",
                state.position, state.fingerprint.head_size,
                state.fingerprint.head_hash, state.fingerprint.window_size,
                state.fingerprint.window_hash);
  text += numbers;
  for (const PendingFile& file : state.pending) {
    std::snprintf(numbers, sizeof numbers, "%s %" PRId64 " ",
                  file.is_rejects ? "pending-rejects" : "pending-daily",
                  file.size);
    text += numbers + escape(file.path) + "\n";
  }
  return text;
}

bool parse_state(const std::string& text, StateRecord* state,
                 std::string* error) {
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  int seen = 0;  // one bit for each required key
  const char* const REQUIRED[] = {"program",  "version", "input", "saved",
                                  "position", "head",    "window"};
  while (std::getline(lines, line)) {
    ++number;
    *error = "line " + std::to_string(number);
    if (number == 1) {
      if (line != MAGIC) return false;
      continue;
    }
    if (line.empty() || line[0] == '#') continue;
    std::string key;
    std::string rest;
    split(line, &key, &rest);
    std::string first;
    std::string second;
    split(rest, &first, &second);
    bool ok = true;
    int bit = -1;
    for (int i = 0; i < 7; ++i) {
      if (key == REQUIRED[i]) bit = i;
    }
    if (key == "program") {
      state->program = rest;
    } else if (key == "version") {
      state->version = rest;
    } else if (key == "input") {
      ok = unescape(rest, &state->input);
    } else if (key == "saved") {
      state->saved = rest;
    } else if (key == "position") {
      ok = read_number(rest, &state->position);
    } else if (key == "head" || key == "window") {
      uint64_t size = 0;
      uint64_t hash = 0;
      ok = read_number(first, &size) && read_hash(second, &hash);
      if (key == "head") {
        state->fingerprint.head_size = size;
        state->fingerprint.head_hash = hash;
      } else {
        state->fingerprint.window_size = size;
        state->fingerprint.window_hash = hash;
      }
    } else if (key == "pending-daily" || key == "pending-rejects") {
      std::string path;
      std::string size_text;
      split(rest, &size_text, &path);
      uint64_t size = 0;
      PendingFile file{"", 0, key == "pending-rejects"};
      ok = read_number(size_text, &size) && size <= INT64_MAX &&
           unescape(path, &file.path) && !file.path.empty();
      file.size = static_cast<int64_t>(size);
      state->pending.push_back(file);
    } else {
      ok = false;
    }
    if (!ok) return false;
    if (bit >= 0) seen |= 1 << bit;
  }
  *error = "a missing line";
  return number > 0 && seen == (1 << 7) - 1 &&
         state->fingerprint.head_size <= state->position &&
         state->fingerprint.window_size <= state->position;
}
