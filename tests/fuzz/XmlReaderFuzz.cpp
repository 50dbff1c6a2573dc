// libFuzzer entry for the XML reader: any bytes must either load or raise
// EXmlError, and whatever loads must write and read again without a crash.
#include "core/Errors.h"
#include "core/xml/XmlDocument.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TXmlDocument document;
    try {
        document.Load(bytes);
    } catch (const EXmlError&) {
        // A failed load keeps what it read; that must still be writable.
    }
    const std::string written = document.SaveToString();
    TXmlDocument again;
    try {
        again.Load(written);
    } catch (const EXmlError&) {
        // Unnamed elements write no tags, so their text can land in the prolog.
    }
    TXmlDocument copy;
    copy.Root().CopyFrom(document.Root());
    (void)copy.SaveToString();
    return 0;
}
