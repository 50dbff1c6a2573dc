#pragma once

#include <memory>
#include <ostream>
#include <string>

// A few words about one job (why it failed, how far it has got) that only the odd job of a
// list has. Held behind a pointer, so the many jobs without one cost a pointer each rather
// than an empty string each: a list of 100,000 jobs stays as light as before.
class JobNote {
public:
    JobNote() = default;
    JobNote(const JobNote& other) : text_(copyOf(other.text_)) {}
    JobNote(JobNote&&) noexcept = default;
    JobNote& operator=(const JobNote& other)
    {
        if (this != &other)
            text_ = copyOf(other.text_);
        return *this;
    }
    JobNote& operator=(JobNote&&) noexcept = default;
    JobNote& operator=(std::string text)
    {
        text_ = text.empty() ? nullptr : std::make_unique<std::string>(std::move(text));
        return *this;
    }

    const std::string& str() const
    {
        static const std::string none;
        return text_ ? *text_ : none;
    }
    bool empty() const { return !text_; }
    void clear() { text_.reset(); }

    friend bool operator==(const JobNote& note, const std::string& text) { return note.str() == text; }
    friend std::ostream& operator<<(std::ostream& out, const JobNote& note) { return out << note.str(); }

private:
    static std::unique_ptr<std::string> copyOf(const std::unique_ptr<std::string>& text)
    {
        return text ? std::make_unique<std::string>(*text) : nullptr;
    }

    std::unique_ptr<std::string> text_;
};
