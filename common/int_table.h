// A table of 32-bit numbers in one block of memory: rows of one width, each
// read as a view. A test case's finishing orders and an answer block's teams
// are such tables; a large one sits on the system's large pages where it can.
#ifndef ZOBNIKARI_COMMON_INT_TABLE_H_
#define ZOBNIKARI_COMMON_INT_TABLE_H_

#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include "common/numbers.h"
#include "common/platform.h"

namespace zobnikari {

// An allocator of blocks from AllocateLarge (large pages, for a large block,
// where the system lends them). Values that a container adds without a value
// to copy are left uninitialised, as in a plain array: a table of a million
// numbers that the parser is about to fill costs no pass to clear it first.
template <typename T>
class LargeBlockAllocator {
 public:
  using value_type = T;
  using is_always_equal = std::true_type;

  LargeBlockAllocator() = default;
  template <typename U>
  LargeBlockAllocator(const LargeBlockAllocator<U>&) noexcept {}

  // Returns room for count values. Throws std::bad_alloc when there is none.
  T* allocate(std::size_t count) {
    void* block = AllocateLarge(Bytes(count));
    if (block == nullptr) throw std::bad_alloc();
    return static_cast<T*>(block);
  }
  // Gives back what allocate(count) returned.
  void deallocate(T* block, std::size_t count) noexcept { FreeLarge(block, Bytes(count)); }

  // Makes a value at p: uninitialised when no argument is given, else from
  // the arguments.
  template <typename U, typename... Arguments>
  void construct(U* p, Arguments&&... arguments) {
    if constexpr (sizeof...(Arguments) == 0) {
      ::new (static_cast<void*>(p)) U;
    } else {
      ::new (static_cast<void*>(p)) U(std::forward<Arguments>(arguments)...);
    }
  }

  friend bool operator==(const LargeBlockAllocator&, const LargeBlockAllocator&) { return true; }
  friend bool operator!=(const LargeBlockAllocator&, const LargeBlockAllocator&) { return false; }

 private:
  // Returns the bytes of a block of count values, at least one.
  static std::size_t Bytes(std::size_t count) { return count == 0 ? 1 : count * sizeof(T); }
};

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

// The table: a value, so that copying it copies every number; a table moved
// from has no rows. A fresh table has no rows.
class IntTable {
 public:
  // Makes the table rows rows of width numbers each, their values
  // unspecified, keeping its block where that is large enough. Throws
  // std::bad_alloc when memory runs out. REQUIRES: width >= 1.
  void Reset(std::size_t rows, std::size_t width) {
    if (rows > (values_.max_size() - kListSlack) / width) throw std::bad_alloc();
    const std::size_t needed = rows * width + kListSlack;
    // A block too small is given back before a larger one is taken: the two
    // never stand side by side, and nothing of the old one is copied.
    if (needed > values_.capacity()) Values().swap(values_);
    values_.resize(needed);
    width_ = width;
  }

  // Returns the number of rows.
  std::size_t size() const { return values_.empty() ? 0 : (values_.size() - kListSlack) / width_; }
  // Returns row index's view. REQUIRES: index < size().
  IntRow operator[](std::size_t index) const { return IntRow(Row(index), width_); }
  // Returns where row index's numbers are written. Past the last row, room
  // for kListSlack more numbers stays writable, so that the list parser may
  // write any row in place. REQUIRES: index < size().
  std::int32_t* Row(std::size_t index) { return values_.data() + index * width_; }
  const std::int32_t* Row(std::size_t index) const { return values_.data() + index * width_; }

 private:
  using Values = std::vector<std::int32_t, LargeBlockAllocator<std::int32_t>>;

  // The rows one after another, then kListSlack more; empty while the table
  // has no rows.
  Values values_;
  std::size_t width_ = 0;
};

}  // namespace zobnikari

#endif  // ZOBNIKARI_COMMON_INT_TABLE_H_
