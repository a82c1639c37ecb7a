// Scratch files for tests: each test writes its inputs under a fresh folder
// in the system's temporary directory, removed when the test ends.
#ifndef ZOBNIKARI_TESTS_TEMP_FILE_H_
#define ZOBNIKARI_TESTS_TEMP_FILE_H_

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace zobnikari {

class TempFolder {
 public:
  TempFolder() {
    std::random_device seed;
    path_ = std::filesystem::temp_directory_path() / ("zobnikari_test_" + std::to_string(seed()));
    std::filesystem::create_directories(path_);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

  // Returns the path of name inside the folder.
  std::string Path(const std::string& name) const { return (path_ / name).string(); }

  // Writes bytes to name and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
    return Path(name);
  }

  // Returns the bytes of name, or "<none>" when it does not exist.
  std::string Read(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    if (!in) return "<none>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

 private:
  std::filesystem::path path_;
};

}  // namespace zobnikari

#endif  // ZOBNIKARI_TESTS_TEMP_FILE_H_
