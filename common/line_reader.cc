#include "common/line_reader.h"

#include <cstring>
#include <limits>
#include <new>
#include <utility>

namespace zobnikari {

namespace {

constexpr char kEndOfInput = 26;  // Ctrl-Z

}  // namespace

LineReader::LineReader(InputFile file, std::size_t blockSize)
    : file_(std::move(file)), blockSize_(blockSize), ended_(!file_.IsOpen()) {}

LineReader::LineReader(const std::string& path, FileRole role)
    : LineReader(InputFile::Open(path, role)) {}

LineReader LineReader::OverBytes(std::string_view bytes) { return LineReader(bytes); }

LineReader::LineReader(std::string_view bytes) : blockSize_(0), data_(bytes.data()), ended_(true) {
  const void* stop = bytes.empty() ? nullptr : std::memchr(bytes.data(), kEndOfInput, bytes.size());
  end_ = stop == nullptr ? bytes.size()
                         : static_cast<std::size_t>(static_cast<const char*>(stop) - bytes.data());
}

LineReader::~LineReader() { FreeBlock(buffer_); }

bool LineReader::NextLine(std::string_view& line) {
  for (;;) {
    if (scan_ < end_) {
      const void* found = std::memchr(data_ + scan_, '\n', end_ - scan_);
      if (found != nullptr) {
        const std::size_t stop = static_cast<std::size_t>(static_cast<const char*>(found) - data_);
        std::size_t length = stop - begin_;
        if (length > 0 && data_[stop - 1] == '\r') --length;
        line = std::string_view(data_ + begin_, length);
        begin_ = scan_ = stop + 1;
        ++linesRead_;
        return true;
      }
      scan_ = end_;
    }
    if (ended_) {
      if (begin_ == end_) {
        line = std::string_view();
        ranOut_ = true;
        return false;
      }
      line = std::string_view(data_ + begin_, end_ - begin_);
      begin_ = scan_ = end_;
      ++linesRead_;
      return true;
    }
    Fill();
  }
}

void LineReader::Fill() {
  if (begin_ > 0) {
    const std::size_t kept = end_ - begin_;
    if (kept > 0) std::memmove(buffer_, buffer_ + begin_, kept);
    scan_ -= begin_;
    end_ = kept;
    begin_ = 0;
  }
  if (end_ == capacity_) {
    // Resized (realloc), not a fresh block and a copy: for a huge line the
    // system can often move the pages instead of copying them, and the old
    // block never stands beside the new one.
    if (capacity_ > std::numeric_limits<std::size_t>::max() / 2) throw std::bad_alloc();
    const std::size_t grown = capacity_ == 0 ? blockSize_ : capacity_ * 2;
    void* moved = ResizeBlock(buffer_, grown);
    if (moved == nullptr) throw std::bad_alloc();
    buffer_ = static_cast<char*>(moved);
    data_ = buffer_;
    capacity_ = grown;
  }
  const std::size_t wanted = capacity_ - end_;
  // Read errors throw: a short read is the end of the file.
  const std::size_t got = file_.Read(buffer_ + end_, wanted);
  const void* stop = got > 0 ? std::memchr(buffer_ + end_, kEndOfInput, got) : nullptr;
  if (stop != nullptr) {
    end_ = static_cast<std::size_t>(static_cast<const char*>(stop) - buffer_);
    ended_ = true;
  } else {
    end_ += got;
    if (got < wanted) ended_ = true;
  }
  if (ended_) file_.Close();
}

}  // namespace zobnikari
