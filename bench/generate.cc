// Writes a large valid test-data file, a submission answering every test case,
// and the report that the evaluator must write for them, from a seed.
//
//   bench_generate <folder> <cases> <n> <d> <k> <m> [seed]
//
// The expected scores are worked out here, directly from the finishing orders
// and the teams this program made, without any of the evaluator's code.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A small, fully specified generator, so that a seed gives the same files on
// every platform and standard library.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  // Returns a value from 0 to bound - 1. REQUIRES: bound >= 1.
  std::uint32_t Below(std::uint32_t bound) { return static_cast<std::uint32_t>(Next() % bound); }

 private:
  std::uint64_t Next() {  // splitmix64
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::uint64_t state_;
};

void Shuffle(std::vector<int>& values, Random& random) {
  for (std::size_t i = values.size(); i > 1; --i)
    std::swap(values[i - 1], values[random.Below(static_cast<std::uint32_t>(i))]);
}

// Appends values as one line of numbers separated by single blanks.
void AppendLine(std::string& out, const std::vector<int>& values) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) out += ' ';
    out += std::to_string(values[i]);
  }
  out += '\n';
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 7) {
    std::fprintf(stderr, "usage: bench_generate <folder> <cases> <n> <d> <k> <m> [seed]\n");
    return 1;
  }
  const std::string folder = argv[1];
  const int cases = std::atoi(argv[2]);
  const int n = std::atoi(argv[3]);
  const int d = std::atoi(argv[4]);
  const int k = std::atoi(argv[5]);
  const int m = std::atoi(argv[6]);
  Random random(argc > 7 ? std::strtoull(argv[7], nullptr, 10) : 2019);
  if (cases < 1 || n < 2 || d < 1 || k < 1 || k >= n || m < 1 || m > std::min(k, n - k)) {
    std::fprintf(stderr, "bench_generate: no valid test case has those numbers\n");
    return 1;
  }

  std::string testData = "Zobnikari\n" + std::to_string(cases) + "\n";
  std::string submission = "123456\nZobnikari\n";
  std::string report = "OK\n" + std::to_string(cases) + "\n";
  std::vector<int> cyclists(static_cast<std::size_t>(n));
  for (int id = 1; id <= cases; ++id) {
    testData += "\n" + std::to_string(id) + " " + std::to_string(n) + " " + std::to_string(d) +
                " " + std::to_string(k) + " " + std::to_string(m) + "\n";
    std::vector<int> points(static_cast<std::size_t>(n));
    for (int& p : points) p = static_cast<int>(random.Below(1001));
    std::sort(points.rbegin(), points.rend());
    AppendLine(testData, points);

    // The team: members first, the rest after; each race swaps up to m of
    // each side at random places.
    std::vector<int> pool(static_cast<std::size_t>(n));
    for (int x = 0; x < n; ++x) pool[x] = x + 1;
    Shuffle(pool, random);
    submission += std::to_string(id) + "\n";
    std::int64_t score = 0;
    std::vector<int> place(static_cast<std::size_t>(n) + 1);
    for (int race = 1; race <= d; ++race) {
      for (int x = 0; x < n; ++x) cyclists[x] = x + 1;
      Shuffle(cyclists, random);
      AppendLine(testData, cyclists);
      for (int i = 0; i < n; ++i) place[cyclists[i]] = i;
      if (race > 1) {
        const int swaps = static_cast<int>(random.Below(static_cast<std::uint32_t>(m) + 1));
        for (int s = 0; s < swaps; ++s) {
          // Bring a member to slot s and a non-member to slot k + s, then swap
          // them: later picks skip both, so the race has exactly swaps
          // newcomers.
          std::swap(pool[s], pool[s + random.Below(static_cast<std::uint32_t>(k - s))]);
          std::swap(pool[k + s], pool[k + s + random.Below(static_cast<std::uint32_t>(n - k - s))]);
          std::swap(pool[s], pool[k + s]);
        }
      }
      std::vector<int> team(pool.begin(), pool.begin() + k);
      Shuffle(team, random);
      AppendLine(submission, team);
      for (int x : team) score += points[place[x]];
    }
    report += std::to_string(id) + " " + std::to_string(score) + "\n";
  }
  if (!WriteFile(folder + "/input.txt", testData) ||
      !WriteFile(folder + "/submission.txt", submission) ||
      !WriteFile(folder + "/expected_report.txt", report)) {
    std::fprintf(stderr, "bench_generate: cannot write into %s\n", folder.c_str());
    return 1;
  }
  return 0;
}
