// The counting operator new and delete. Each block carries its size in a header in front of it,
// so that a release can be counted against what is held.
#include "bench/common/counting_allocator.h"

#include <cstdlib>
#include <new>

namespace bench {
namespace {

constexpr size_t kHeader = alignof(std::max_align_t);

AllocationTotals totals;  // zero-initialised before any allocation can happen
AllocationScope* current = nullptr;
bool noting = false;  // a scope's list of sizes allocates too; that is not counted

void* Allocate(size_t size) {
  auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
  if (block == nullptr) return nullptr;
  *reinterpret_cast<size_t*>(block) = size;
  if (!noting) {
    ++totals.blocks;
    totals.bytes += size;
    totals.live += static_cast<long long>(size);
    if (current != nullptr) NoteAllocation(size);
  }
  return block + kHeader;
}

void Release(void* pointer) {
  if (pointer == nullptr) return;
  unsigned char* block = static_cast<unsigned char*>(pointer) - kHeader;
  if (!noting) totals.live -= static_cast<long long>(*reinterpret_cast<size_t*>(block));
  std::free(block);
}

}  // namespace

void NoteAllocation(size_t size) {
  if (current->sizes_.size() >= 64 || current->sizes_.capacity() == 0) return;
  noting = true;
  current->sizes_.push_back(size);
  noting = false;
}

AllocationTotals Allocations() { return totals; }

AllocationScope::AllocationScope() : outer_(current) {
  noting = true;
  sizes_.reserve(64);
  noting = false;
  start_ = totals;
  current = this;
}

AllocationScope::~AllocationScope() {
  current = outer_;
  noting = true;
  sizes_ = {};
  noting = false;
}

size_t AllocationScope::blocks() const { return totals.blocks - start_.blocks; }
size_t AllocationScope::bytes() const { return totals.bytes - start_.bytes; }
long long AllocationScope::held() const { return totals.live - start_.live; }

}  // namespace bench

void* operator new(size_t size) {
  if (void* block = bench::Allocate(size)) return block;
  throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return bench::Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return bench::Allocate(size); }
void operator delete(void* pointer) noexcept { bench::Release(pointer); }
void operator delete[](void* pointer) noexcept { bench::Release(pointer); }
void operator delete(void* pointer, size_t) noexcept { bench::Release(pointer); }
void operator delete[](void* pointer, size_t) noexcept { bench::Release(pointer); }
void operator delete(void* pointer, const std::nothrow_t&) noexcept { bench::Release(pointer); }
void operator delete[](void* pointer, const std::nothrow_t&) noexcept { bench::Release(pointer); }
