#pragma once

#include <cstddef>

// Memory for document nodes. A large list file holds hundreds of thousands of
// small nodes; carving them from pages instead of one heap block each is most
// of what makes reading it fast. A page is freed with its last node.
// Sanitizer builds use the ordinary heap so that node lifetimes stay checked.
namespace clipforge {

void* allocateXmlNode(std::size_t size);
void releaseXmlNode(void* node, std::size_t size) noexcept;

// Child lists come from the same pages as the nodes they hold.
template <typename T>
struct XmlNodeAllocator {
    using value_type = T;

    XmlNodeAllocator() = default;
    template <typename U>
    XmlNodeAllocator(const XmlNodeAllocator<U>&) noexcept
    {
    }

    T* allocate(std::size_t count) { return static_cast<T*>(allocateXmlNode(count * sizeof(T))); }
    void deallocate(T* items, std::size_t count) noexcept { releaseXmlNode(items, count * sizeof(T)); }

    template <typename U>
    bool operator==(const XmlNodeAllocator<U>&) const noexcept
    {
        return true;
    }
};

}  // namespace clipforge
