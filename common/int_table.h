// A table of 32-bit numbers in one block of memory: rows of one width, each
// read as a view. A test case's finishing orders and an answer block's teams
// are such tables; a large one sits on the system's large pages where it can.
#ifndef ZOBNIKARI_COMMON_INT_TABLE_H_
#define ZOBNIKARI_COMMON_INT_TABLE_H_

#include <cstddef>
#include <cstdint>

#include "common/numbers.h"

namespace zobnikari {

// A read-only view of one row: width numbers.
class IntRow {
 public:
  IntRow(const std::int32_t* data, std::size_t size) : data_(data), size_(size) {}

  const std::int32_t* data() const { return data_; }
  std::size_t size() const { return size_; }
  const std::int32_t* begin() const { return data_; }
  const std::int32_t* end() const { return data_ + size_; }
  // Returns the number at index. REQUIRES: index < size().
  std::int32_t operator[](std::size_t index) const { return data_[index]; }

 private:
  const std::int32_t* data_;
  std::size_t size_;
};

// The table: a value, so that copying it copies every number. A fresh table
// has no rows.
class IntTable {
 public:
  IntTable() = default;
  IntTable(const IntTable& other);
  IntTable& operator=(const IntTable& other);
  IntTable(IntTable&& other) noexcept;
  IntTable& operator=(IntTable&& other) noexcept;
  ~IntTable();

  // Makes the table rows rows of width numbers each, their values
  // unspecified, keeping its block where that is large enough. Throws
  // std::bad_alloc when memory runs out.
  void Reset(std::size_t rows, std::size_t width);

  // Returns the number of rows.
  std::size_t size() const { return rows_; }
  // Returns the number of numbers in each row.
  std::size_t width() const { return width_; }
  // Returns row index's view. REQUIRES: index < size().
  IntRow operator[](std::size_t index) const { return IntRow(block_ + index * width_, width_); }
  // Returns where row index's numbers are written. Past the last row, room
  // for kListSlack more numbers stays writable, so that the list parser may
  // write any row in place. REQUIRES: index < size().
  std::int32_t* Row(std::size_t index) { return block_ + index * width_; }

 private:
  // Frees the block.
  void Release();

  std::int32_t* block_ = nullptr;
  std::size_t capacity_ = 0;  // numbers the block holds
  std::size_t rows_ = 0;
  std::size_t width_ = 0;
};

}  // namespace zobnikari

#endif  // ZOBNIKARI_COMMON_INT_TABLE_H_
