// Fuzz target: converts arbitrary bytes with both profiles, twice, and
// compares the daily files with a plain reference model of the format, then
// checks the invariants that every daily file must keep.
#include <dirent.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "converter/driver.h"
#include "profiles/ferrow.h"
#include "profiles/ferrow_g.h"

namespace {

using Files = std::map<std::string, std::string>;

const ConverterProfile* const PROFILES[] = {&FERROW_PROFILE, &FERROW_G_PROFILE};
const char INPUT_NAME[] = "input.raw";

[[noreturn]] void fail(const std::string& what) {
  std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
  std::abort();
}

// --- The reference model: the format's rules written as plainly as
// possible, sharing no code with the converter.

bool leap(long year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// The leading-integer rule; false when the digits overflow 32-bit signed.
bool model_integer(const std::string& text, long* value) {
  size_t i = 0;
  while (i < text.size() && std::strchr(" \t\n\v\f\r", text[i]) != nullptr &&
         text[i] != '\0') {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i++] == '-';
  }
  long long magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > 2147483648LL) return false;
  }
  if (!negative && magnitude > 2147483647LL) return false;
  *value = static_cast<long>(negative ? -magnitude : magnitude);
  return true;
}

std::vector<std::string> split(const std::string& text, char at) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t cut = text.find(at, start);
    if (cut == std::string::npos) {
      parts.push_back(text.substr(start));
      return parts;
    }
    parts.push_back(text.substr(start, cut - start));
    start = cut + 1;
  }
}

// Each line as it stood, LF included; a last line without LF is a line too.
std::vector<std::string> raw_lines(const std::string& input) {
  const std::string text = input.substr(0, input.find('\x1a'));
  std::vector<std::string> lines = split(text, '\n');
  for (size_t i = 0; i + 1 < lines.size(); ++i) lines[i] += '\n';
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

// The daily files, and in *rejects what the reject file gets.
Files model(const std::string& input, const ConverterProfile& profile,
            std::string* rejects) {
  Files files;
  rejects->clear();
  for (const std::string& raw : raw_lines(input)) {
    const std::string kept = raw.back() == '\n' ? raw : raw + '\n';
    std::string line;
    for (char c : raw) {
      if (c != '\r' && c != '\n') line += c;
    }
    const std::vector<std::string> fields = split(line, ',');
    if (fields.size() < 4) {
      *rejects += kept;
      continue;
    }
    long number[4];
    bool fits = true;
    for (size_t i = 0; i < 4; ++i) {
      fits = fits && model_integer(fields[i], &number[i]);
    }
    const long seconds = number[0], year = number[1], day = number[2],
               hhmm = number[3];
    if (!fits || year <= 1900 || day < 1 || day > (leap(year) ? 366 : 365)) {
      *rejects += kept;
      continue;
    }
    const int lengths[12] = {
        31, leap(year) ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    long month = 1, rest = day;
    while (rest > lengths[month - 1]) rest -= lengths[month++ - 1];
    char name[128];
    std::snprintf(name, sizeof name, "%04ld-%02ld-%02ld_ZORL_Raw_Data_SN%s.csv",
                  year, month, rest, profile.serial_text);
    char stamp[128];
    std::snprintf(stamp, sizeof stamp, "%04ld-%02ld-%02ld %02ld:%02ld:%02ld",
                  year, month, rest, hhmm / 100, hhmm % 100, seconds);
    std::string& file = files[name];
    if (file.empty()) file = std::string(profile.header_line) + "\r\n";
    file += stamp;
    const auto count = static_cast<size_t>(profile.value_count);
    for (size_t i = 4; i < 4 + count; ++i) {
      file += ',';
      if (i < fields.size()) file += fields[i];
    }
    file += "\r\n";
  }
  return files;
}

// --- The invariants, checked on what the converter wrote.

void check_invariants(const std::string& name, const std::string& content,
                      const ConverterProfile& profile) {
  int year = 0, month = 0, day = 0;
  char serial[16] = {0};
  char tail[8] = {0};
  if (std::sscanf(name.c_str(), "%d-%2d-%2d_ZORL_Raw_Data_SN%15[0-9].%7s",
                  &year, &month, &day, serial, tail) != 5 ||
      std::strcmp(tail, "csv") != 0) {
    fail("daily file name " + name);
  }
  const int lengths[12] = {
      31, leap(year) ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year <= 1900 || month < 1 || month > 12 || day < 1 ||
      day > lengths[month - 1]) {
    fail("no such date in " + name);
  }
  const std::string header = std::string(profile.header_line) + "\r\n";
  if (content.compare(0, header.size(), header) != 0) fail("header of " + name);
  if (content.find(profile.header_line, 1) != std::string::npos) {
    fail("second header in " + name);
  }
  size_t row_start = header.size();
  while (row_start < content.size()) {
    const size_t end = content.find("\r\n", row_start);
    if (end == std::string::npos) fail("unfinished row in " + name);
    const std::string row = content.substr(row_start, end - row_start);
    if (row.find_first_of("\r\n") != std::string::npos) {
      fail("bare CR or LF in " + name);
    }
    long commas = 0;
    for (char c : row) commas += c == ',';
    if (commas != profile.value_count) fail("column count in " + name);
    row_start = end + 2;
  }
}

// --- The work folder.

Files read_daily_files() {
  Files files;
  DIR* folder = opendir(".");
  if (folder == nullptr) fail("cannot list the work folder");
  while (const dirent* entry = readdir(folder)) {
    const std::string name = entry->d_name;
    if (name == "." || name == ".." || name == INPUT_NAME ||
        name.compare(0, 7, "rejects") == 0) {
      continue;
    }
    std::FILE* file = std::fopen(name.c_str(), "rb");
    if (file == nullptr) fail("cannot read " + name);
    std::string content;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
      content.append(buffer, got);
    }
    std::fclose(file);
    files[name] = content;
  }
  closedir(folder);
  return files;
}

std::string read_file(const char* name) {
  std::string content;
  std::FILE* file = std::fopen(name, "rb");
  if (file == nullptr) return content;
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    content.append(buffer, got);
  }
  std::fclose(file);
  return content;
}

const char* const REJECT_NAMES[] = {"rejects6", "rejects9"};

void convert_all() {
  for (size_t i = 0; i < 2; ++i) {
    const std::string option = std::string("--rejects=") + REJECT_NAMES[i];
    const char* const arguments[] = {option.c_str(), INPUT_NAME};
    if (run_conversion(2, arguments, *PROFILES[i]) != EXIT_OK) {
      fail("conversion failed");
    }
  }
}

size_t count_lines(const std::string& text) {
  size_t lines = 0;
  for (char c : text) lines += c == '\n';
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Memory-backed when the machine has it: each input opens and removes
  // several files.
  static char in_memory[] = "/dev/shm/ferrow-fuzz-XXXXXX";
  static char on_disk[] = "/tmp/ferrow-fuzz-XXXXXX";
  const char* folder = mkdtemp(in_memory);
  if (folder == nullptr) folder = mkdtemp(on_disk);
  if (folder == nullptr || chdir(folder) != 0) fail("no work folder");
  // The progress line would otherwise flood the fuzzer's own output.
  if (std::freopen("/dev/null", "w", stdout) == nullptr) fail("no /dev/null");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (const auto& old : read_daily_files()) std::remove(old.first.c_str());
  for (const char* name : REJECT_NAMES) std::remove(name);
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::FILE* file = std::fopen(INPUT_NAME, "wb");
  if (file == nullptr) fail("cannot write the input");
  std::fwrite(input.data(), 1, input.size(), file);
  std::fclose(file);

  Files expected;
  std::string expected_rejects[2];
  for (size_t i = 0; i < 2; ++i) {
    for (auto& made : model(input, *PROFILES[i], &expected_rejects[i])) {
      expected.insert(made);
    }
  }
  convert_all();
  const Files first = read_daily_files();
  if (first != expected) fail("daily files differ from the model");
  // Every line read is a row or a rejected line, the latter kept as it
  // stood.
  const size_t lines_read = raw_lines(input).size();
  for (size_t i = 0; i < 2; ++i) {
    const std::string rejects = read_file(REJECT_NAMES[i]);
    if (rejects != expected_rejects[i]) fail("reject file differs");
    size_t rows = 0;
    for (const auto& made : first) {
      const bool nine = made.first.find("SN1057") != std::string::npos;
      if (nine == (i == 1)) rows += count_lines(made.second) - 1;
    }
    if (rows + count_lines(rejects) != lines_read) {
      fail("rows and rejected lines do not add up to the lines read");
    }
  }
  for (const auto& made : first) {
    const bool nine = made.first.find("SN1057") != std::string::npos;
    check_invariants(made.first, made.second,
                     nine ? FERROW_G_PROFILE : FERROW_PROFILE);
  }

  // A second run appends every row again and leaves what was there alone.
  convert_all();
  const Files second = read_daily_files();
  if (second.size() != first.size()) fail("second run changed the file set");
  for (const auto& made : first) {
    const bool nine = made.first.find("SN1057") != std::string::npos;
    const size_t header = std::strlen(nine ? FERROW_G_PROFILE.header_line
                                           : FERROW_PROFILE.header_line) +
                          2;
    const auto again = second.find(made.first);
    if (again == second.end() ||
        again->second != made.second + made.second.substr(header)) {
      fail("second run did not append exactly in " + made.first);
    }
  }
  return 0;
}
