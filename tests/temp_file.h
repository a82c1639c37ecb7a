// Scratch files for tests: each test writes its inputs under a fresh folder
// in the system's temporary directory, removed when the test ends. Names and
// paths are UTF-8, as the platform layer takes them.
#ifndef ZOBNIKARI_TESTS_TEMP_FILE_H_
#define ZOBNIKARI_TESTS_TEMP_FILE_H_

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>

namespace zobnikari {

// A fresh folder of its own, removed with everything in it at the object's end.
class TempFolder {
 public:
  // Creates the folder.
  TempFolder() {
    std::random_device seed;
    path_ = std::filesystem::temp_directory_path() / ("zobnikari_test_" + std::to_string(seed()));
    std::filesystem::create_directories(path_);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  // Removes the folder and everything in it.
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

  // Returns the UTF-8 path of name (UTF-8, "/" between folders) inside the
  // folder.
  std::string Path(const std::string& name) const { return Native(name).u8string(); }

  // Creates the folder name, and the folders on its way, inside the folder;
  // returns its path.
  std::string MakeFolder(const std::string& name) const {
    std::filesystem::create_directories(Native(name));
    return Path(name);
  }

  // Writes bytes to name and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(Native(name), std::ios::binary) << bytes;
    return Path(name);
  }

  // Returns the bytes of name, or nothing when it does not exist.
  std::optional<std::string> Read(const std::string& name) const {
    std::ifstream in(Native(name), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

 private:
  // Returns the path of name inside the folder, in the system's own form.
  std::filesystem::path Native(const std::string& name) const {
    return path_ / std::filesystem::u8path(name);
  }

  std::filesystem::path path_;
};

}  // namespace zobnikari

#endif  // ZOBNIKARI_TESTS_TEMP_FILE_H_
