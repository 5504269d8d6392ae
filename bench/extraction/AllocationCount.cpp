#include "AllocationCount.h"

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {

std::atomic<std::size_t> liveBytes{0};
std::atomic<std::size_t> peakBytes{0};
std::atomic<std::size_t> startBytes{0};

void* counted(void* block)
{
    if (block != nullptr) {
        const std::size_t now = liveBytes.fetch_add(malloc_usable_size(block)) + malloc_usable_size(block);
        std::size_t peak = peakBytes.load(std::memory_order_relaxed);
        while (now > peak && !peakBytes.compare_exchange_weak(peak, now))
            ;
    }
    return block;
}

void release(void* block)
{
    if (block != nullptr) {
        liveBytes.fetch_sub(malloc_usable_size(block));
        std::free(block);
    }
}

void* allocate(std::size_t size)
{
    return counted(std::malloc(size == 0 ? 1 : size));
}

void* allocateAligned(std::size_t size, std::align_val_t alignment)
{
    const auto align = static_cast<std::size_t>(alignment);
    // aligned_alloc wants a size that is a multiple of the alignment.
    return counted(std::aligned_alloc(align, (size + align - 1) / align * align));
}

} // namespace

namespace allocations {

std::size_t live()
{
    return liveBytes.load();
}

void startPeak()
{
    startBytes = liveBytes.load();
    peakBytes = startBytes.load();
}

std::size_t peakSinceStart()
{
    return peakBytes.load() - startBytes.load();
}

} // namespace allocations

void* operator new(std::size_t size)
{
    if (void* block = allocate(size))
        return block;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return allocate(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return allocate(size);
}

void* operator new(std::size_t size, std::align_val_t alignment)
{
    if (void* block = allocateAligned(size, alignment))
        return block;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size, std::align_val_t alignment)
{
    return operator new(size, alignment);
}

void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return allocateAligned(size, alignment);
}

void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return allocateAligned(size, alignment);
}

void operator delete(void* block) noexcept
{
    release(block);
}

void operator delete[](void* block) noexcept
{
    release(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    release(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    release(block);
}

void operator delete(void* block, const std::nothrow_t&) noexcept
{
    release(block);
}

void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    release(block);
}

void operator delete(void* block, std::align_val_t) noexcept
{
    release(block);
}

void operator delete[](void* block, std::align_val_t) noexcept
{
    release(block);
}

void operator delete(void* block, std::size_t, std::align_val_t) noexcept
{
    release(block);
}

void operator delete[](void* block, std::size_t, std::align_val_t) noexcept
{
    release(block);
}

void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept
{
    release(block);
}

void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept
{
    release(block);
}
