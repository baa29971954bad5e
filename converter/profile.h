// Profile: what one program is built with, the instrument it converts for.
#ifndef FERROW_CONVERTER_PROFILE_H
#define FERROW_CONVERTER_PROFILE_H

#include <cstdint>

struct ConverterProfile {
  const char* header_line;   // first line of every daily file, no line end
  const char* serial_text;   // the serial number in every daily file's name
  int32_t value_count;       // value fields copied into each row, at least 1
  const char* program_name;  // as the user types it, for help and version
  const char* instrument;    // a few words naming the instrument, for help
};

// The most value fields a profile may copy; it sizes the row buffer.
constexpr int32_t MAX_VALUE_COUNT = 64;

#endif
