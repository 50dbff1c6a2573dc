#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace clipforge {

// Where the writer puts bytes: a buffer filled by plain copies and handed on
// (to a string, or to a file) whenever it is full. A list file is hundreds of
// thousands of short pieces; appending each to a string with its own capacity
// check and length update cost more than the copying itself.
class XmlOutput {
public:
    XmlOutput(const XmlOutput&) = delete;
    XmlOutput& operator=(const XmlOutput&) = delete;
    virtual ~XmlOutput();

    void write(const char* bytes, std::size_t size)
    {
        if (static_cast<std::size_t>(limit_ - pos_) < size) {
            writeSlowly(bytes, size);
            return;
        }
        std::memcpy(pos_, bytes, size);
        pos_ += size;
    }
    void write(std::string_view bytes) { write(bytes.data(), bytes.size()); }
    void put(char byte)
    {
        if (pos_ == limit_)
            flush();
        *pos_++ = byte;
    }
    void spaces(std::size_t count)
    {
        if (count <= blankCount && static_cast<std::size_t>(limit_ - pos_) >= count) {
            std::memcpy(pos_, blanks, count);
            pos_ += count;
            return;
        }
        spacesSlowly(count);
    }

    // Hands on what the buffer holds; call it once writing is done.
    void flush();

protected:
    explicit XmlOutput(std::size_t bufferSize);
    virtual void deliver(const char* bytes, std::size_t size) = 0;

private:
    static constexpr std::size_t blankCount = 64;
    static constexpr char blanks[blankCount + 1] = "                                                                ";

    void writeSlowly(const char* bytes, std::size_t size);
    void spacesSlowly(std::size_t count);

    char* buffer_;
    char* pos_;
    char* limit_;
};

// Appends to a string.
class XmlStringOutput final : public XmlOutput {
public:
    explicit XmlStringOutput(std::string& target);

private:
    void deliver(const char* bytes, std::size_t size) override;

    std::string& target_;
};

// Writes to an open file descriptor. A failed write is remembered (errno
// kept) and reported by error(); what comes after it is dropped.
class XmlFileOutput final : public XmlOutput {
public:
    explicit XmlFileOutput(int fd);
    bool ok() const { return error_ == 0; }
    int error() const { return error_; }

private:
    void deliver(const char* bytes, std::size_t size) override;

    int fd_;
    int error_ = 0;
    std::size_t written_ = 0;
    std::size_t scheduled_ = 0;
};

}  // namespace clipforge
