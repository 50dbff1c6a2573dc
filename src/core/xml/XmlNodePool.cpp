#include "core/xml/XmlNodePool.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define CLIPFORGE_PLAIN_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CLIPFORGE_PLAIN_HEAP 1
#endif
#endif

namespace clipforge {

#ifdef CLIPFORGE_PLAIN_HEAP

void* allocateXmlNode(std::size_t size) { return ::operator new(size); }
void releaseXmlNode(void* node, std::size_t) noexcept { ::operator delete(node); }

#else

namespace {

constexpr std::size_t granule = 16;
constexpr std::size_t largestPooled = 1024;
constexpr std::size_t pageSize = 64 * 1024;

// Nodes are carved from the current page one after the other, never reused
// one by one; a page is given back when its last node is gone. The thread
// carving a page holds one reference of its own until it moves on, so
// whichever thread drops the count to zero frees the page. Carving touches no
// shared counter: a new page starts with one reference for every node it could
// ever hold, and the ones not used are given back when the cursor moves on.
struct alignas(64) PageHeader {
    explicit PageHeader(std::size_t references) : references(references) {}
    std::atomic<std::size_t> references;
};

PageHeader* pageOf(void* node)
{
    return reinterpret_cast<PageHeader*>(reinterpret_cast<std::uintptr_t>(node) & ~(pageSize - 1));
}

void dropReferences(PageHeader* page, std::size_t count) noexcept
{
    if (page->references.fetch_sub(count, std::memory_order_acq_rel) == count) {
        page->~PageHeader();
        std::free(page);
    }
}

class PageCursor {
public:
    PageCursor() = default;
    PageCursor(const PageCursor&) = delete;
    PageCursor& operator=(const PageCursor&) = delete;
    ~PageCursor()
    {
        leavePage();
    }

    void* allocate(std::size_t rounded)
    {
        if (left_ < rounded && !startPage())
            throw std::bad_alloc();
        --unusedReferences_;
        void* node = next_;
        next_ += rounded;
        left_ -= rounded;
        return node;
    }

private:
    bool startPage()
    {
        void* memory = std::aligned_alloc(pageSize, pageSize);
        if (memory == nullptr)
            return false;
        leavePage();
        unusedReferences_ = (pageSize - sizeof(PageHeader)) / granule;
        page_ = new (memory) PageHeader(1 + unusedReferences_);
        next_ = static_cast<char*>(memory) + sizeof(PageHeader);
        left_ = pageSize - sizeof(PageHeader);
        return true;
    }

    void leavePage() noexcept
    {
        if (page_ != nullptr)
            dropReferences(page_, 1 + unusedReferences_);
        page_ = nullptr;
    }

    PageHeader* page_ = nullptr;
    char* next_ = nullptr;
    std::size_t left_ = 0;
    std::size_t unusedReferences_ = 0;
};

thread_local PageCursor cursor;

std::size_t roundUp(std::size_t size)
{
    return (size + granule - 1) / granule * granule;
}

}  // namespace

void* allocateXmlNode(std::size_t size)
{
    if (size > largestPooled)
        return ::operator new(size);
    return cursor.allocate(roundUp(size));
}

void releaseXmlNode(void* node, std::size_t size) noexcept
{
    if (node == nullptr)
        return;
    if (size > largestPooled) {
        ::operator delete(node);
        return;
    }
    dropReferences(pageOf(node), 1);
}

#endif

}  // namespace clipforge
