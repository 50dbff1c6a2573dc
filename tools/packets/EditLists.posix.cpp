#include "EditLists.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include <stdio.h>
#include <sys/types.h>

namespace {

struct Box {
    std::uint64_t body = 0;  // where its content starts
    std::uint64_t end = 0;
    char type[5] = {};
};

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

bool readAt(std::FILE* file, std::uint64_t at, unsigned char* bytes, std::size_t size)
{
    return ::fseeko(file, static_cast<off_t>(at), SEEK_SET) == 0 && std::fread(bytes, 1, size, file) == size;
}

std::uint64_t bigEndian(const unsigned char* bytes, int size)
{
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i)
        value = (value << 8) | bytes[i];
    return value;
}

// The box at `at`, ending no later than `limit`; false when there is none.
bool boxAt(std::FILE* file, std::uint64_t at, std::uint64_t limit, Box& box)
{
    unsigned char header[16];
    if (at + 8 > limit || !readAt(file, at, header, 8))
        return false;
    std::uint64_t size = bigEndian(header, 4);
    std::uint64_t headerSize = 8;
    if (size == 1) {
        if (!readAt(file, at + 8, header + 8, 8))
            return false;
        size = bigEndian(header + 8, 8);
        headerSize = 16;
    } else if (size == 0) {
        size = limit - at;
    }
    if (size < headerSize || at + size > limit)
        return false;
    std::memcpy(box.type, header + 4, 4);
    box.body = at + headerSize;
    box.end = at + size;
    return true;
}

// The first child of type inside [from, limit); false when there is none.
bool child(std::FILE* file, std::uint64_t from, std::uint64_t limit, const char* type, Box& found)
{
    for (Box box; boxAt(file, from, limit, box); from = box.end) {
        if (std::memcmp(box.type, type, 4) == 0) {
            found = box;
            return true;
        }
    }
    return false;
}

// An edit list that is a plain start shift: at most one empty edit, first, then one piece of
// media played at normal speed.
bool moreThanShift(std::FILE* file, const Box& list)
{
    unsigned char head[8];
    if (!readAt(file, list.body, head, 8))
        return true;
    const bool wide = head[0] == 1;
    const std::uint64_t entries = bigEndian(head + 4, 4);
    const std::uint64_t entrySize = wide ? 20 : 12;
    int pieces = 0;
    for (std::uint64_t i = 0; i < entries; ++i) {
        unsigned char entry[20];
        if (list.body + 8 + (i + 1) * entrySize > list.end || !readAt(file, list.body + 8 + i * entrySize, entry, entrySize))
            return true;
        const int timeSize = wide ? 8 : 4;
        const bool empty = bigEndian(entry + timeSize, timeSize) == (wide ? ~std::uint64_t{0} : 0xffffffffu);
        const std::uint64_t rate = bigEndian(entry + 2 * timeSize, 4);
        if (empty ? (pieces > 0 || i > 0) : (++pieces > 1 || rate != 0x00010000))
            return true;
    }
    return false;
}

}  // namespace

std::vector<bool> editedTracks(const std::string& path, const std::string& formatName)
{
    std::vector<bool> tracks;
    if (formatName.find("mov") == std::string::npos)
        return tracks;
    const File file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file || ::fseeko(file.get(), 0, SEEK_END) != 0)
        return tracks;
    const auto size = static_cast<std::uint64_t>(::ftello(file.get()));
    Box movie;
    if (!child(file.get(), 0, size, "moov", movie))
        return tracks;
    for (Box track; boxAt(file.get(), movie.body, movie.end, track); movie.body = track.end) {
        if (std::memcmp(track.type, "trak", 4) != 0)
            continue;
        Box edits;
        Box list;
        tracks.push_back(child(file.get(), track.body, track.end, "edts", edits) &&
                         child(file.get(), edits.body, edits.end, "elst", list) && moreThanShift(file.get(), list));
    }
    return tracks;
}
