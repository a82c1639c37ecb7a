// The yardstick of the benchmark: reads the given files in large blocks and
// sums every decimal number in them, validating nothing. No evaluator can do
// less than this, so the benchmark reports the evaluator's cost against it.
//
//   bench_floor <file>...
#include <cstdint>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
  std::vector<unsigned char> block(1 << 20);
  std::uint64_t sum = 0;
  for (int i = 1; i < argc; ++i) {
    std::FILE* file = std::fopen(argv[i], "rb");
    if (file == nullptr) {
      std::perror(argv[i]);
      return 1;
    }
    std::setvbuf(file, nullptr, _IONBF, 0);
    std::uint64_t number = 0;
    for (std::size_t got; (got = std::fread(block.data(), 1, block.size(), file)) > 0;) {
      for (std::size_t j = 0; j < got; ++j) {
        const unsigned digit = block[j] - static_cast<unsigned>('0');
        if (digit < 10) {
          number = number * 10 + digit;
        } else {
          sum += number;
          number = 0;
        }
      }
    }
    sum += number;
    std::fclose(file);
  }
  std::printf("%llu\n", static_cast<unsigned long long>(sum));
  return 0;
}
