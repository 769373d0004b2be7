// A file changed by another program: when a document follows it, asks, or leaves it alone.
#include "editor/disk_change.h"

#include <gtest/gtest.h>

#include <string>

namespace quillon {
namespace disk_change_test {

FileStamp Stamp(std::uint64_t time, std::uint64_t size) { return {true, time, size}; }

TEST(DiskChange, AnUnchangedDocumentFollowsItsFileAChangedOneAsksOncePerChange) {
  const FileStamp read = Stamp(100, 10), unknown{};
  const struct {
    const char* what;
    FileStamp read, now, declined;
    bool modified;
    DiskChange expected;
  } cases[] = {
      {"the file as it was read", read, read, unknown, false, DiskChange::kLeave},
      {"... with changes of the document", read, read, unknown, true, DiskChange::kLeave},
      {"written later", read, Stamp(200, 10), unknown, false, DiskChange::kReload},
      {"only its size differs", read, Stamp(100, 11), unknown, false, DiskChange::kReload},
      {"an older time (a file copied back)", read, Stamp(50, 10), unknown, false, DiskChange::kReload},
      {"written later, the document changed", read, Stamp(200, 10), unknown, true, DiskChange::kAsk},
      {"the change the user declined", read, Stamp(200, 10), Stamp(200, 10), true, DiskChange::kLeave},
      {"a declined change, the document unchanged since", read, Stamp(200, 10), Stamp(200, 10), false,
       DiskChange::kLeave},
      {"changed again after a declined change", read, Stamp(300, 12), Stamp(200, 10), true, DiskChange::kAsk},
      {"the file gone or locked", read, unknown, unknown, true, DiskChange::kLeave},
      {"a document that never read its file", unknown, Stamp(200, 10), unknown, false, DiskChange::kLeave},
  };
  for (const auto& c : cases) EXPECT_EQ(ChangeOnDisk(c.read, c.now, c.declined, c.modified), c.expected) << c.what;
}

TEST(DiskChange, ASaveAsksOnlyBeforeWritingOverAnotherProgramsChange) {
  const FileStamp read = Stamp(100, 10), unknown{};
  const struct {
    FileStamp read, now;
    bool asks;
  } cases[] = {
      {read, read, false},         {read, Stamp(101, 10), true},
      {read, Stamp(100, 9), true}, {read, unknown, false},  // gone: written anew
      {unknown, read, false},                               // the chooser asked before replacing it
  };
  for (const auto& c : cases)
    EXPECT_EQ(AskBeforeOverwriting(c.read, c.now), c.asks) << c.now.writeTime << " " << c.now.size;
  EXPECT_EQ(OverwriteQuestion("C:\\a.asm"), "C:\\a.asm\nThis file has been changed by another program. Overwrite it?");
  EXPECT_EQ(ReloadQuestion("C:\\a.asm"),
            "C:\\a.asm\nThis file has been changed by another program. Reload it and lose your changes?");
}

TEST(DiskChange, TheTitleNamesTheFileAndAChangeAndShowsTheEndOfALongPath) {
  const std::string longPath = "C:\\" + std::string(300, 'd') + "\\game.asm";
  const struct {
    std::string path;
    bool modified;
    std::string title;
  } cases[] = {
      {"", false, "untitled"},
      {"", true, "untitled*"},
      {"C:\\src\\game.asm", false, "C:\\src\\game.asm"},
      {"C:\\src\\game.asm", true, "C:\\src\\game.asm*"},
      {longPath, true, "..." + longPath.substr(longPath.size() - 251) + "*"},
      {std::string(255, 'p'), false, std::string(255, 'p')},
      {std::string(256, 'p'), false, "..." + std::string(252, 'p')},
  };
  for (const auto& c : cases) {
    const std::string title = DocumentTitle(c.path, c.modified, 256);
    EXPECT_EQ(title, c.title) << c.path.size();
    EXPECT_LE(title.size(), 255u);
  }
}

}  // namespace disk_change_test
}  // namespace quillon
