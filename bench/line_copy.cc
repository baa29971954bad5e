// line_copy: the floor under any line-by-line converter. It finds each line
// end and writes the line back, through the same block sizes as the
// converter, and does nothing else.
//   line_copy IN OUT
#include <cstdio>
#include <cstring>

namespace {

constexpr size_t BLOCK_SIZE = size_t{1} << 20;
char input[BLOCK_SIZE];
char output[BLOCK_SIZE];

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  std::FILE* in = std::fopen(argv[1], "rb");
  std::FILE* out = std::fopen(argv[2], "ab");
  if (in == nullptr || out == nullptr) return 1;
  std::setvbuf(in, nullptr, _IONBF, 0);
  std::setvbuf(out, nullptr, _IONBF, 0);
  size_t head = 0;
  size_t tail = 0;
  size_t pending = 0;
  bool ok = true;
  for (;;) {
    const size_t got = std::fread(input + tail, 1, BLOCK_SIZE - tail, in);
    if (got == 0) break;
    tail += got;
    for (;;) {
      const auto* lf = static_cast<const char*>(
          std::memchr(input + head, '\n', tail - head));
      if (lf == nullptr) break;
      const auto length = static_cast<size_t>(lf + 1 - (input + head));
      if (pending + length > BLOCK_SIZE) {
        ok = ok && std::fwrite(output, 1, pending, out) == pending;
        pending = 0;
      }
      std::memcpy(output + pending, input + head, length);
      pending += length;
      head += length;
    }
    std::memmove(input, input + head, tail - head);
    tail -= head;
    head = 0;
  }
  ok = ok && std::fwrite(output, 1, pending, out) == pending;
  return ok && std::fclose(out) == 0 ? 0 : 1;
}
