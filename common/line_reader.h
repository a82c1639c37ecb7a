// The one line reader behind every input of the evaluator. It reads a file in
// large blocks and applies the text-mode rules itself, the same on every
// platform: CR LF reads as LF, a lone CR is an ordinary byte, Ctrl-Z (26) ends
// the input, and a read fails only when no byte at all is left.
#ifndef ZOBNIKARI_COMMON_LINE_READER_H_
#define ZOBNIKARI_COMMON_LINE_READER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/platform.h"

namespace zobnikari {

class LineReader {
 public:
  // Bytes asked of the file per read, and the buffer's starting size: small
  // enough to stay in the processor's second-level cache between the copy
  // from the file and the parse, large enough to make reads rare.
  static constexpr std::size_t kDefaultBlockSize = 1 << 17;

  // Reads from file, which the reader owns and closes once it has ended.
  // REQUIRES: blockSize >= 1.
  explicit LineReader(InputFile file, std::size_t blockSize = kDefaultBlockSize);

  // Opens path, the run's file of role (InputFile::Open: a path that names
  // nothing readable as a file reads as an empty input). Throws IoFailure
  // when the system fails to open it.
  LineReader(const std::string& path, FileRole role);

  // Returns a reader of bytes held in memory, which must outlive it: the
  // lines that a file of those bytes would give, by the same rules.
  static LineReader OverBytes(std::string_view bytes);

  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;
  ~LineReader();

  // Sets line to the next line, without its line end (LF, or CR LF), and
  // returns true; or returns false when the input has ended. The view stays
  // valid until the next call or the reader's end. Throws std::bad_alloc when
  // a line outgrows memory, and IoFailure when the system fails to read.
  bool NextLine(std::string_view& line);

  // Returns how many lines NextLine has given: the number of the line it gave
  // last, counted from 1 (0 before the first).
  std::int64_t linesRead() const { return linesRead_; }

  // Returns true once NextLine has returned false: the input has no line
  // after the linesRead() lines it gave.
  bool ranOut() const { return ranOut_; }

 private:
  // Reads the bytes in memory.
  explicit LineReader(std::string_view bytes);

  // Moves the unfinished line to the front of the buffer, grows the buffer if
  // that line fills it, and reads one more block. Sets ended_ at the end of the
  // file or at a Ctrl-Z byte (whose bytes are dropped).
  void Fill();

  InputFile file_;
  std::size_t blockSize_;
  char* buffer_ = nullptr;      // the reader's own block, null over bytes in memory
  const char* data_ = nullptr;  // the bytes read so far: buffer_, or the bytes in memory
  std::size_t capacity_ = 0;
  std::size_t begin_ = 0;  // first byte of the line being read
  std::size_t scan_ = 0;   // bytes before this, from begin_ on, hold no LF
  std::size_t end_ = 0;    // end of the bytes read so far
  bool ended_ = false;     // no further byte will be read from the file
  std::int64_t linesRead_ = 0;
  bool ranOut_ = false;
};

}  // namespace zobnikari

#endif  // ZOBNIKARI_COMMON_LINE_READER_H_
