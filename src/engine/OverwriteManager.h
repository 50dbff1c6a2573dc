#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>

// Chooses an output path where nothing is yet, so a conversion never writes over anything, nor
// through a symbolic link, nor fails on a folder in its way.
//
// One chooser serves one run: it remembers every name it gave out and, for every candidate, how
// far along its sequence of names the run has come, so k jobs cost time linear in k whether
// their names are alike or not. Call ForgetNames when a new run begins.
class TOverwriteManager {
public:
    using NameTaken = std::function<bool(const std::string& path)>;

    // path itself when nothing is there; otherwise "_2" goes before the extension, once more for
    // every name already taken: clip.mp4, clip_2.mp4, clip_2_2.mp4 ... Anything at a name takes
    // it: a file, a folder, a device, a FIFO, a symbolic link (even a dangling one); so does a
    // name this chooser gave out earlier, and one alsoTaken answers true for.
    //
    // Names stay within the folder's file-name limit: when one more "_2" would not fit, the
    // numbers 3, 4, 5 ... follow the original name instead (clip_3.mp4, clip_4.mp4 ...), the
    // original name cut short, at a character boundary, where even that would not fit. A
    // candidate too long by itself is cut the same way first.
    //
    // clipforge::Error for a path holding a NUL byte, and when no name fits at all (an
    // extension longer than the limit).
    std::string GetUniqueName(const std::string& path, const NameTaken& alsoTaken = {});

    // Starts over from the file system alone, as a new run must.
    void ForgetNames();

private:
    // Where one candidate's sequence of names stands.
    struct Cursor {
        std::string folder;
        std::string stem;       // the candidate's file name without its extension, cut to fit
        std::string extension;  // dot included; empty when the name has none
        std::string chain;      // stem with the "_2"s added so far
        std::size_t limit = 0;
        unsigned number = 0;    // 0 while the "_2" rule still fits; then the next number to try
    };

    static Cursor startAt(const std::string& path);
    static std::string nameAt(const Cursor& cursor);
    static void advance(Cursor& cursor);
    bool taken(const std::string& path, const NameTaken& alsoTaken) const;

    std::unordered_map<std::string, Cursor> cursors_;
    std::unordered_set<std::string> given_;
};
