#pragma once

#include <string>

// The one place that knows how a path is cut. Only "/" separates folders here:
// ":" is an ordinary file-name character on Linux.
namespace clipforge {

inline constexpr char pathSeparator = '/';

// The text after the last separator (the whole path when there is none).
std::string fileNamePart(const std::string& path);

// The text up to and including the last separator (empty when there is none).
std::string folderPart(const std::string& path);

// From the last "." of the file-name part to the end, dot included; empty when
// the file name has no dot. Dots in folder names never count.
std::string extensionPart(const std::string& path);

// The path with its extension (as extensionPart sees it) replaced by
// newExtension, which includes its dot; appended when there is no extension.
std::string replaceExtension(const std::string& path, const std::string& newExtension);

// The folder of the running executable, with its trailing "/".
std::string programFolder();

// The folder the running executable really lies in, with its trailing "/", whatever
// programFolder() answers.
std::string executableFolder();

// Makes programFolder() answer folder (a trailing "/" is added when missing);
// an empty folder restores the real one. For tests, which must never touch
// the build's program folder.
void setProgramFolderForTesting(const std::string& folder);

// The process's working folder, without a trailing separator but for the root; "/" when it
// cannot be read.
std::string currentFolder();

// folder with a separator at its end, added when missing ("/" for an empty folder).
std::string withTrailingSeparator(std::string folder);

// A relative path joined to currentFolder() as given ("." and ".." left alone, since resolving
// them without the file system would go wrong across symbolic links); an absolute or empty path
// unchanged.
std::string absolutePath(const std::string& path);

// True when path names a regular file (or a link to one); a folder does not count, nor does a
// name holding a NUL byte, which no file can have.
bool fileExists(const std::string& path);

// True when path names a folder (or a link to one).
bool folderExists(const std::string& path);

// True when anything at all is at path: a file, a folder, a device, a FIFO, a socket, or a
// symbolic link, even one that leads nowhere. Writing there would replace, or write through,
// what is there. A name holding a NUL byte answers false, as no such entry can exist.
bool pathOccupied(const std::string& path);

}  // namespace clipforge
