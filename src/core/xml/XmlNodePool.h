#pragma once

#include <cstddef>

// Memory for document nodes. A large list file holds hundreds of thousands of
// small nodes; carving them from pages instead of one heap block each is most
// of what makes reading it fast. A page is freed with its last node.
// Sanitizer builds use the ordinary heap so that node lifetimes stay checked.
namespace clipforge {

void* allocateXmlNode(std::size_t size);
void releaseXmlNode(void* node, std::size_t size) noexcept;

}  // namespace clipforge
