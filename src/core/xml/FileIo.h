#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class QString;

namespace clipforge {

class XmlOutput;

// The whole file as bytes. EFileError "Cannot open file ..." when it cannot
// be opened or read.
std::string readWholeFile(const std::string& path);
// The same for a file that must be a regular one (a link is followed to it): anything else, a
// FIFO included, is refused at once with EFileError "Cannot open file ... It is not a regular
// file", never waited on.
std::string readRegularFile(const std::string& path);

// Makes path hold exactly bytes without ever leaving a half-written file in
// its place: the bytes go to a temporary file in the same folder, locked and
// named as a save of this machine's, which is then renamed over path; after a
// kill at any moment, every name of the file reads as the whole old or the
// whole new file. An existing file keeps its owner, group and permissions; a
// link is followed and its target replaced; other hard links of the old file
// keep the old bytes. The existing file is rewritten in place instead, when
// the folder refuses the temporary file or the new file could not be given
// the old one's owner and group; then the disk's room for the new bytes is
// reserved first (or, where it cannot be, proved by writing them beside it)
// and a full disk refuses before a byte changes. Temporary files of saves that
// died in the same folder are cleared first. EFileError "Cannot open file ..."
// when an existing path cannot be written, "Cannot create file ..." for any
// other failure; path is then unchanged (for an in-place write, unless the
// write itself fails) and no temporary file is left behind.
void replaceFileContents(const std::string& path, std::string_view bytes);
// The same with the bytes produced straight into the new file, so that a large
// file is never held in memory whole.
void replaceFileContents(const std::string& path, const std::function<void(XmlOutput&)>& produce);

// The size in bytes of the file at path, as the file system reports it; a path that
// cannot be examined raises ESystemError with the system's code and text.
std::int64_t GetFileSize64(const QString& path);

}  // namespace clipforge
