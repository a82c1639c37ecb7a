#include "common/int_table.h"

#include <cstring>
#include <limits>
#include <new>
#include <utility>

#include "common/platform.h"

namespace zobnikari {

IntTable::IntTable(const IntTable& other) {
  Reset(other.rows_, other.width_);
  if (rows_ > 0) std::memcpy(block_, other.block_, rows_ * width_ * sizeof(std::int32_t));
}

IntTable& IntTable::operator=(const IntTable& other) {
  if (this != &other) {
    IntTable copy(other);
    *this = std::move(copy);
  }
  return *this;
}

IntTable::IntTable(IntTable&& other) noexcept
    : block_(std::exchange(other.block_, nullptr)),
      capacity_(std::exchange(other.capacity_, 0)),
      rows_(std::exchange(other.rows_, 0)),
      width_(std::exchange(other.width_, 0)) {}

IntTable& IntTable::operator=(IntTable&& other) noexcept {
  if (this != &other) {
    Release();
    block_ = std::exchange(other.block_, nullptr);
    capacity_ = std::exchange(other.capacity_, 0);
    rows_ = std::exchange(other.rows_, 0);
    width_ = std::exchange(other.width_, 0);
  }
  return *this;
}

IntTable::~IntTable() { Release(); }

void IntTable::Reset(std::size_t rows, std::size_t width) {
  constexpr std::size_t kMost = std::numeric_limits<std::size_t>::max() / sizeof(std::int32_t);
  if (width != 0 && rows > (kMost - kListSlack) / width) throw std::bad_alloc();
  const std::size_t needed = rows * width + kListSlack;
  if (needed > capacity_) {
    Release();
    rows_ = width_ = 0;
    block_ = static_cast<std::int32_t*>(AllocateLarge(needed * sizeof(std::int32_t)));
    if (block_ == nullptr) throw std::bad_alloc();
    capacity_ = needed;
  }
  rows_ = rows;
  width_ = width;
}

void IntTable::Release() {
  FreeLarge(block_, capacity_ * sizeof(std::int32_t));
  block_ = nullptr;
  capacity_ = 0;
}

}  // namespace zobnikari
