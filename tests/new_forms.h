// The forms of new and delete that a test program replacing the global
// operator new(std::size_t) and operator delete(void*) must replace too:
// each passes to those two. Include once per program, after defining them.
#ifndef ZOBNIKARI_TESTS_NEW_FORMS_H_
#define ZOBNIKARI_TESTS_NEW_FORMS_H_

#include <cstddef>
#include <new>

void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return operator new(size, std::nothrow);
}
void operator delete[](void* block) noexcept { operator delete(block); }
void operator delete(void* block, std::size_t) noexcept { operator delete(block); }
void operator delete[](void* block, std::size_t) noexcept { operator delete(block); }

#endif  // ZOBNIKARI_TESTS_NEW_FORMS_H_
