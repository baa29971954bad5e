// generate_raw: deterministic synthetic raw record files, for the samples,
// the benchmark and the fuzzing seeds.
//
//   generate_raw [--channels 6|9] [--start YEAR:DAY:SECOND] [--interval S]
//                [--records N | --bytes N] [--damaged-every N]
//                [--trailing N] [--lf] [--seed N]
//
// Writes to standard output one record per interval, starting at the given
// day of year and second of the day: seconds, year, day of year, HHMM, then
// the instrument's values and a few trailing fields. Every damaged-every'th
// line is damaged in one of a few ways that the converter must reject.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Options {
  int channels = 6;
  long year = 2016;
  long day_of_year = 1;
  long second_of_day = 0;
  long interval = 1;
  unsigned long long records = 0;
  unsigned long long bytes = 0;
  unsigned long long damaged_every = 0;
  int trailing = 2;
  bool crlf = true;
  unsigned long long seed = 1;
};

// A fixed generator, so that the same options give the same bytes on every
// platform and library.
struct Random {
  uint64_t state;
};

uint64_t next_random(Random* random) {
  random->state ^= random->state << 13;
  random->state ^= random->state >> 7;
  random->state ^= random->state << 17;
  return random->state;
}

long random_between(Random* random, long low, long high) {
  const auto span = static_cast<uint64_t>(high - low + 1);
  return low + static_cast<long>(next_random(random) % span);
}

long year_length(long year) {
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return leap ? 366 : 365;
}

// A fixed-point decimal with the given number of decimals, e.g. -12.345.
void append_decimal(std::string* out, long scaled, int decimals) {
  char text[32];
  long divisor = 1;
  for (int i = 0; i < decimals; ++i) divisor *= 10;
  const long whole = scaled / divisor;
  const long part = (scaled < 0 ? -scaled : scaled) % divisor;
  if (scaled < 0 && whole == 0) {
    std::snprintf(text, sizeof text, "-0.%0*ld", decimals, part);
  } else {
    std::snprintf(text, sizeof text, "%ld.%0*ld", whole, decimals, part);
  }
  *out += text;
}

void append_field(std::string* out, long scaled, int decimals) {
  *out += ',';
  append_decimal(out, scaled, decimals);
}

std::string make_record(const Options& options, Random* random, long year,
                        long day_of_year, long second_of_day) {
  std::string line;
  char lead[64];
  const long hhmm = (second_of_day / 3600) * 100 + (second_of_day / 60) % 60;
  std::snprintf(lead, sizeof lead, "%ld,%ld,%ld,%ld,-7", second_of_day % 60,
                year, day_of_year, hhmm);
  line += lead;
  append_field(&line, random_between(random, -3500, 4500), 2);    // air C
  append_field(&line, random_between(random, 95000, 104000), 3);  // kPa
  if (options.channels == 9) {
    append_field(&line, random_between(random, 50, 1000), 1);     // air %
    append_field(&line, random_between(random, -2000, 5500), 2);  // box C
    append_field(&line, random_between(random, 50, 600), 1);      // box %
  } else {
    append_field(&line, random_between(random, -2000, 5500), 2);  // box C
    append_field(&line, random_between(random, 50, 1000), 1);     // air %
  }
  for (int channel = 0; channel < options.channels; ++channel) {
    append_field(&line, random_between(random, -50000, 2500000), 3);  // mV
  }
  for (int extra = 0; extra < options.trailing; ++extra) {
    append_field(&line, random_between(random, 110, 145), 1);
  }
  return line;
}

// One of the kinds of damage seen in files pulled off stations.
std::string damage(const std::string& line, Random* random) {
  switch (next_random(random) % 4) {
    case 0:  // power cut: the line stops part-way through its time stamp
      return line.substr(0, line.find(',', line.find(',') + 1) + 2);
    case 1:  // a year that the logger never had
      return "0" + line.substr(line.find(','));
    case 2:  // noise on the serial line
      return "#\x7f\x01!?";
    default:  // an empty line
      return std::string();
  }
}

bool parse_number(const char* text, unsigned long long* value) {
  char* end = nullptr;
  *value = std::strtoull(text, &end, 10);
  return end != text && *end == '\0';
}

bool parse_options(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    const char* flag = argv[i];
    if (std::strcmp(flag, "--lf") == 0) {
      options->crlf = false;
      continue;
    }
    if (i + 1 >= argc) return false;
    const char* value = argv[++i];
    unsigned long long number = 0;
    if (std::strcmp(flag, "--start") == 0) {
      if (std::sscanf(value, "%ld:%ld:%ld", &options->year,
                      &options->day_of_year, &options->second_of_day) != 3) {
        return false;
      }
      continue;
    }
    if (!parse_number(value, &number)) return false;
    if (std::strcmp(flag, "--channels") == 0 && (number == 6 || number == 9)) {
      options->channels = static_cast<int>(number);
    } else if (std::strcmp(flag, "--interval") == 0 && number > 0) {
      options->interval = static_cast<long>(number);
    } else if (std::strcmp(flag, "--records") == 0) {
      options->records = number;
    } else if (std::strcmp(flag, "--bytes") == 0) {
      options->bytes = number;
    } else if (std::strcmp(flag, "--damaged-every") == 0) {
      options->damaged_every = number;
    } else if (std::strcmp(flag, "--trailing") == 0 && number < 100) {
      options->trailing = static_cast<int>(number);
    } else if (std::strcmp(flag, "--seed") == 0 && number > 0) {
      options->seed = number;
    } else {
      return false;
    }
  }
  return options->records > 0 || options->bytes > 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parse_options(argc, argv, &options)) {
    std::fputs(
        "usage: generate_raw [--channels 6|9] [--start YEAR:DAY:SECOND] "
        "[--interval S] (--records N | --bytes N) [--damaged-every N] "
        "[--trailing N] [--lf] [--seed N]\n",
        stderr);
    return 2;
  }
  Random random{options.seed * 0x9E3779B97F4A7C15ULL};
  long year = options.year;
  long day_of_year = options.day_of_year;
  long second_of_day = options.second_of_day;
  const char* line_end = options.crlf ? "\r\n" : "\n";
  unsigned long long written = 0;
  std::string block;
  for (unsigned long long n = 1;; ++n) {
    if (options.records > 0 && n > options.records) break;
    if (options.bytes > 0 && written >= options.bytes) break;
    std::string line =
        make_record(options, &random, year, day_of_year, second_of_day);
    if (options.damaged_every > 0 && n % options.damaged_every == 0) {
      line = damage(line, &random);
    }
    line += line_end;
    written += line.size();
    block += line;
    if (block.size() >= (1u << 16)) {
      std::fwrite(block.data(), 1, block.size(), stdout);
      block.clear();
    }
    second_of_day += options.interval;
    while (second_of_day >= 86400) {
      second_of_day -= 86400;
      if (++day_of_year > year_length(year)) {
        day_of_year = 1;
        ++year;
      }
    }
  }
  std::fwrite(block.data(), 1, block.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}
