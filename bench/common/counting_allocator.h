// Counts what the program allocates with operator new: a program or test that links
// counting_allocator.cpp has the global operator new and delete replaced by counting ones, so
// that it can tell how many blocks and bytes an operation allocates and how many it keeps.
#pragma once

#include <cstddef>
#include <vector>

namespace bench {

struct AllocationTotals {
  size_t blocks = 0;   // allocations made
  size_t bytes = 0;    // bytes asked for by them
  long long live = 0;  // bytes asked for and not yet released
};

AllocationTotals Allocations();

// Called by the allocator for each allocation while a scope exists.
void NoteAllocation(size_t size);

// Counts the allocations made while it exists, and the size of each (the first 64).
class AllocationScope {
 public:
  AllocationScope();
  ~AllocationScope();
  AllocationScope(const AllocationScope&) = delete;
  AllocationScope& operator=(const AllocationScope&) = delete;

  size_t blocks() const;
  size_t bytes() const;
  // Bytes allocated and not released since the scope began (negative when it released more).
  long long held() const;
  const std::vector<size_t>& sizes() const { return sizes_; }

 private:
  friend void NoteAllocation(size_t size);
  AllocationTotals start_;
  std::vector<size_t> sizes_;
  AllocationScope* outer_;
};

}  // namespace bench
