// A document's file changed by another program: when the document follows it, asks first, or
// leaves it; and the title a document window shows. No windows here.
#pragma once

#include <cstdint>
#include <string>

namespace quillon {

inline constexpr char kUntitled[] = "untitled";

// The last-write time (in the platform's units) and size of a file, to notice a change by
// another program. Not known when the file could not be looked at.
struct FileStamp {
  bool known = false;
  std::uint64_t writeTime = 0;
  std::uint64_t size = 0;
  bool operator==(const FileStamp&) const = default;
};

enum class DiskChange {
  kLeave,   // nothing to do: no change, none that can be seen, or one the user declined
  kReload,  // the document has no changes of its own: it takes the file's text
  kAsk,     // the document has changes: the user is asked whether to lose them
};

// What a document whose file was `read` (its stamp when last read or written) does when the file
// is `now` on disk. `declined` is a change the user chose not to load, or whose reload failed and
// was reported: it is not asked about or read again. An unknown stamp (no file yet, or a file that
// cannot be looked at) is never taken for a change.
DiskChange ChangeOnDisk(const FileStamp& read, const FileStamp& now, const FileStamp& declined, bool modified);

// Before a save: whether to ask before writing over a file that changed since it was read.
bool AskBeforeOverwriting(const FileStamp& read, const FileStamp& now);

// The questions, with the path on their first line.
std::string ReloadQuestion(const std::string& path);
std::string OverwriteQuestion(const std::string& path);

// "path", "path*" (changed), "untitled" or "untitled*"; a title of `room` characters or more
// shows its end after "...", within room - 1.
std::string DocumentTitle(const std::string& path, bool modified, std::size_t room);

}  // namespace quillon
