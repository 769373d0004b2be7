#include "editor/disk_change.h"

namespace quillon {

namespace {

bool Changed(const FileStamp& read, const FileStamp& now) { return read.known && now.known && !(now == read); }

std::string Question(const std::string& path, const char* question) {
  return path + "\nThis file has been changed by another program. " + question;
}

}  // namespace

DiskChange ChangeOnDisk(const FileStamp& read, const FileStamp& now, const FileStamp& declined, bool modified) {
  if (!Changed(read, now) || now == declined) return DiskChange::kLeave;
  return modified ? DiskChange::kAsk : DiskChange::kReload;
}

bool AskBeforeOverwriting(const FileStamp& read, const FileStamp& now) { return Changed(read, now); }

std::string ReloadQuestion(const std::string& path) { return Question(path, "Reload it and lose your changes?"); }

std::string OverwriteQuestion(const std::string& path) { return Question(path, "Overwrite it?"); }

std::string DocumentTitle(const std::string& path, bool modified, std::size_t room) {
  std::string title = (path.empty() ? std::string(kUntitled) : path) + (modified ? "*" : "");
  if (room > 4 && title.size() >= room) title = "..." + title.substr(title.size() - (room - 4));
  return title;
}

}  // namespace quillon
