// quillet-fx touches a few buffers of tens of megabytes once each (the picture and the blurred
// copy). In 4 kB pages that is tens of thousands of page faults, a fifth of the run's time;
// in 2 MB pages it is a few dozen. The kernel gives 2 MB pages only to memory marked for them
// (transparent huge pages in "madvise" mode, Debian's default), so the program's operator new
// marks every large block before anything touches it. Linked into the quillet-fx executable
// only: libraries and tests keep the standard allocator.
#include <sys/mman.h>

#include <cstdlib>
#include <new>

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kLargeBlock = std::size_t{8} << 20;

void* Allocate(std::size_t size) noexcept {
    if (size >= kLargeBlock) {
        const std::size_t rounded = (size + kHugePage - 1) / kHugePage * kHugePage;
        void* block = std::aligned_alloc(kHugePage, rounded);
        // Without huge pages the block still works, in small pages.
        if (block != nullptr)
            madvise(block, rounded, MADV_HUGEPAGE);
        return block;
    }
    return std::malloc(size == 0 ? 1 : size);
}

void* AllocateOrThrow(std::size_t size) {
    void* block = Allocate(size);
    if (block == nullptr)
        throw std::bad_alloc();
    return block;
}

} // namespace

void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
