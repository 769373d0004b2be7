#include "search/search_engine.h"

#include <richedit.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/error_log.h"
#include "base/recent_lists.h"
#include "base/settings.h"
#include "editor/editor.h"
#include "editor/text_control.h"
#include "editor/text_model.h"
#include "search/find_dialog.h"
#include "search/regex_matcher.h"
#include "search/search_range.h"
#include "search/search_state.h"
#include "ui/app_state.h"
#include "ui/reporting.h"

namespace quillon {

namespace {

struct RememberedMatch {
  HWND window = nullptr;
  LastMatch match;
};
RememberedMatch g_last;

constexpr char kInvalidRegex[] = "Invalid regular expression";

LastMatch LastMatchIn(HWND window) { return g_last.window == window ? g_last.match : LastMatch{}; }

// Under a double-byte code page the control's positions count characters while a regular
// expression matches the text's bytes: these convert in `text`, the whole document.
long ByteAt(const std::string& text, long position) {
  return DoubleByteCodePage() ? static_cast<long>(ByteOfCharacter(text, position, IsLeadByte)) : position;
}
// The control's position of a byte offset of the walker's text; `exact` false when it falls
// inside a character (the position is that character's, or with `after` the next one's).
// Offsets asked in rising order cost one pass over the text together.
long PositionAt(CharacterWalker& walker, std::size_t byte, bool after = false, bool* exact = nullptr) {
  if (exact) *exact = true;
  if (!DoubleByteCodePage()) return static_cast<long>(byte);
  bool starts = true;
  const long position = walker.CharacterOf(byte, &starts);
  if (exact) *exact = starts;
  return starts || !after ? position : position + 1;
}

SelectionState ReadSelection(HWND edit) {
  SelectionState state;
  GetSelection(edit, state.start, state.end);
  state.startLine = DocumentLineOf(GetParent(edit), state.start);
  state.endLine = DocumentLineOf(GetParent(edit), state.end);
  return state;
}

bool FindPlain(HWND edit, const std::string& text, std::uint32_t flags, ControlRange range, long& start, long& end) {
  FINDTEXTEXA find{};
  find.chrg.cpMin = range.cpMin;
  find.chrg.cpMax = range.cpMax;
  find.lpstrText = text.c_str();
  LRESULT at = SendMessageA(edit, EM_FINDTEXTEX, flags & kFindControlBits, reinterpret_cast<LPARAM>(&find));
  if (at < 0) return false;
  start = find.chrgText.cpMin;
  end = find.chrgText.cpMax;
  return true;
}

void ShowMatchingError(HWND owner, int error) {
  Log().Log("SearchDocument(): Matching error %d", error);
  std::string message = "The search stopped: " + RegexMatcher::ErrorText(error) + ".";
  ReportFailure(owner, message);
}

// The regular-expression search in one document, going round at the end.
SearchOutcome SearchRegex(HWND window, HWND edit, RegexMatcher& matcher, bool down, bool& wrapped) {
  // The whole text, so that anchors and look-behind see what comes before.
  std::string text = TextRange(edit, 0, TextLength(edit));
  PrepareForMatching(text);
  SelectionState selection = ReadSelection(edit);
  LastMatch last = LastMatchIn(window);
  selection.start = ByteAt(text, selection.start), selection.end = ByteAt(text, selection.end);
  last.start = ByteAt(text, last.start), last.end = ByteAt(text, last.end);
  RegexStep step = FindFromSelection(matcher, text, selection, last, down);
  const RegexMatcher::Result& result = step.result;
  if (result.outcome == RegexMatcher::Outcome::kError) {
    ShowMatchingError(window, result.error);
    return SearchOutcome::kStopped;
  }
  if (result.outcome == RegexMatcher::Outcome::kNotFound) return SearchOutcome::kNotFound;
  CharacterWalker walker(text, IsLeadByte);
  const long start = PositionAt(walker, result.start), end = PositionAt(walker, result.end, true);
  SetSelection(edit, start, end);
  RememberMatch(window, start, end);
  wrapped = step.wrapped;
  return SearchOutcome::kFound;
}

void SelectPlainMatch(HWND window, HWND edit, long start, long end) {
  SetSelection(edit, start, end);
  RememberMatch(window, start, end);
  SetFocus(edit);
}

// The document windows in the order of the Window menu (their child ids).
std::vector<HWND> DocumentsInMenuOrder() {
  std::vector<HWND> windows;
  if (!g_app.mdiClient) return windows;
  for (HWND child = GetWindow(g_app.mdiClient, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (DocumentTextControl(child)) windows.push_back(child);
  std::sort(windows.begin(), windows.end(),
            [](HWND a, HWND b) { return GetWindowLongPtrA(a, GWLP_ID) < GetWindowLongPtrA(b, GWLP_ID); });
  return windows;
}

void ActivateDocument(HWND window) {
  SendMessageA(g_app.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(window), 0);
  if (IsIconic(window)) SendMessageA(g_app.mdiClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(window), 0);
}

// The plain search: in `window` from its selection; then, when asked, through the other
// documents, each searched whole, in menu order (backwards when searching up).
SearchOutcome SearchPlain(HWND window, HWND edit, const std::string& text, std::uint32_t flags, bool& wrapped) {
  const bool down = (flags & kFindDown) != 0;
  long start = 0, end = 0;
  const SelectionState selection = ReadSelection(edit);
  const LastMatch last = LastMatchIn(window);
  if (FindPlain(edit, text, flags, PlainSearchRange(selection, last, down), start, end)) {
    SelectPlainMatch(window, edit, start, end);
    return SearchOutcome::kFound;
  }
  // Round from the other end of this document, after the other documents when searching them.
  auto goRound = [&]() {
    if (SearchesInsideSelection(selection, last) ||
        !FindPlain(edit, text, flags, PlainWrapRange(down, TextLength(edit)), start, end))
      return SearchOutcome::kNotFound;
    SelectPlainMatch(window, edit, start, end);
    wrapped = true;
    return SearchOutcome::kFound;
  };
  if (!(flags & kFindAllDocuments)) return goRound();

  std::vector<HWND> documents = DocumentsInMenuOrder();
  auto here = std::find(documents.begin(), documents.end(), window);
  if (here == documents.end()) return goRound();
  std::rotate(documents.begin(), here, documents.end());  // this document first, then the next ones
  documents.erase(documents.begin());
  if (!down) std::reverse(documents.begin(), documents.end());
  for (HWND other : documents) {
    HWND otherEdit = DocumentTextControl(other);
    ControlRange whole = down ? ControlRange{0, -1} : ControlRange{TextLength(otherEdit), 0};
    if (!FindPlain(otherEdit, text, flags, whole, start, end)) continue;
    ActivateDocument(other);
    SelectPlainMatch(other, otherEdit, start, end);
    return SearchOutcome::kFound;
  }
  return goRound();
}

}  // namespace

void RememberMatch(HWND window, long start, long end) { g_last = {window, {true, start, end}}; }

SearchOutcome SearchDocument(HWND window, const char* text, std::uint32_t flags, HWND notFoundOwner) {
  HWND edit = DocumentTextControl(window);
  if (!edit || !text || !*text) return SearchOutcome::kStopped;
  SearchOutcome outcome;
  bool wrapped = false;
  if (flags & kFindRegex) {
    RegexMatcher matcher;
    if (!matcher.Compile(text)) {
      ReportFailure(window, kInvalidRegex);
      return SearchOutcome::kStopped;
    }
    outcome = SearchRegex(window, edit, matcher, (flags & kFindDown) != 0, wrapped);
  } else {
    outcome = SearchPlain(window, edit, text, flags, wrapped);
  }
  if (outcome == SearchOutcome::kNotFound)
    MessageBoxA(notFoundOwner ? notFoundOwner : g_app.mdiClient, "Search text not found", "Finished",
                MB_OK | MB_ICONINFORMATION);
  if (outcome == SearchOutcome::kFound)
    ShowStatusNote(!wrapped              ? ""
                   : (flags & kFindDown) ? "Passed the end of the document"
                                         : "Passed the start of the document");
  return outcome;
}

namespace {

void ShowReplaceError(HWND owner, int error) {
  Log().Log("Replace: error %d", error);
  std::string message = "The replacement failed: " + RegexMatcher::ErrorText(error) + ".";
  ReportFailure(owner, message);
}

constexpr const char* kTooLongText = "The replacement would make the text longer than the document can hold.";

// Replaces [start, end) with `text` as one undo step, unless the text would then pass the
// control's limit (the control would cut it without a word); then, with an `owner`, a box says
// so.
bool ReplaceRange(HWND edit, long start, long end, const std::string& text, long currentLength, HWND owner) {
  long newLength = currentLength - (end - start) + static_cast<long>(text.size());
  if (newLength > TextLimit(edit)) {
    if (owner) ReportFailure(owner, std::string(kTooLongText) + " Nothing was replaced.");
    return false;
  }
  return ReplaceDocumentRange(GetParent(edit), start, end, text);
}

}  // namespace

void ReplaceNext(HWND window, const char* text, const char* replacement, std::uint32_t flags, HWND owner) {
  HWND edit = DocumentTextControl(window);
  if (!edit || !text || !*text) return;
  long selStart = 0, selEnd = 0;
  GetSelection(edit, selStart, selEnd);
  if (selStart < selEnd) {
    std::string newText;
    bool isMatch = false;
    if (flags & kFindRegex) {
      RegexMatcher matcher;
      if (!matcher.Compile(text)) {
        ReportFailure(owner, kInvalidRegex);
        return;
      }
      std::string subject = TextRange(edit, 0, TextLength(edit));
      PrepareForMatching(subject);
      const long byteStart = ByteAt(subject, selStart), byteEnd = ByteAt(subject, selEnd);
      RegexMatcher::Result found = matcher.Find(subject, static_cast<std::size_t>(byteStart), true);
      if (found.outcome == RegexMatcher::Outcome::kError) return ShowMatchingError(owner, found.error);
      isMatch = found.outcome == RegexMatcher::Outcome::kFound && static_cast<long>(found.start) == byteStart &&
                static_cast<long>(found.end) == byteEnd;
      if (isMatch) {
        int rc = matcher.Expand(subject, replacement, newText);
        if (rc < 0) return ShowReplaceError(owner, rc);
        RestoreLineBreaks(newText);
      }
    } else {
      long start = 0, end = 0;
      isMatch = FindPlain(edit, text, flags | kFindDown, {selStart, selEnd}, start, end) && start == selStart &&
                end == selEnd;
      newText = replacement;
    }
    if (isMatch && !ReplaceRange(edit, selStart, selEnd, newText, TextLength(edit), owner)) return;
  }
  SearchDocument(window, text, flags, owner);
}

namespace {

// What Replace All changes in one document: `count` matches, of which `changes` (ascending)
// change the text.
struct ReplacePlan {
  HWND window = nullptr;
  int count = 0;
  std::vector<RangeReplacement> changes;
};

// Finds what Replace All would change in one document, changing nothing; false (after a box)
// when an error stops it.
bool PlanReplaceAll(HWND window, const char* text, const char* replacement, std::uint32_t flags, HWND owner,
                    ReplacePlan& plan) {
  HWND edit = DocumentTextControl(window);
  if (!edit || !text || !*text) return false;
  const long length = TextLength(edit);
  long from = 0, to = length;
  if (flags & kFindInSelection) {
    long start = 0, end = 0;
    GetSelection(edit, start, end);
    if (start < end) from = start, to = end;
  }
  plan = ReplacePlan{window, 0, {}};
  if (flags & kFindRegex) {
    RegexMatcher matcher;
    if (!matcher.Compile(text)) {
      ReportFailure(owner, kInvalidRegex);
      return false;
    }
    std::vector<SpanEdit> edits;
    const std::string subject = TextRange(edit, 0, length);
    plan.count = RegexReplaceAllEdits(matcher, subject, static_cast<std::size_t>(ByteAt(subject, from)),
                                      static_cast<std::size_t>(ByteAt(subject, to)), replacement, edits);
    if (plan.count < 0) {
      ShowReplaceError(owner, plan.count);
      return false;
    }
    CharacterWalker walker(subject, IsLeadByte);  // the edits come in the text's order
    for (SpanEdit& e : edits) {
      // A match that starts or ends inside a two-byte character is no match of the text's.
      bool startExact = true, endExact = true;
      const long start = PositionAt(walker, e.start, false, &startExact);
      const long end = PositionAt(walker, e.end, false, &endExact);
      if (!startExact || !endExact) {
        --plan.count;
        continue;
      }
      plan.changes.push_back({start, end, std::move(e.text)});
    }
  } else {
    long start = 0, end = 0, at = from;
    while (at < to && FindPlain(edit, text, flags | kFindDown, {at, to}, start, end) && end > start) {
      ++plan.count;
      if (TextRange(edit, start, end) != replacement) plan.changes.push_back({start, end, replacement});
      at = end;
    }
  }
  long long newLength = length;
  for (const RangeReplacement& change : plan.changes)
    newLength += static_cast<long long>(change.text.size()) - (change.end - change.start);
  if (newLength > TextLimit(edit)) {
    ReportFailure(owner, std::string(kTooLongText) + " Nothing was replaced.");
    return false;
  }
  return true;
}

// Makes the planned change; false when the document cannot take it after all (no box: the
// caller says what was made).
bool ApplyPlan(const ReplacePlan& plan) {
  return plan.changes.empty() || ReplaceDocumentRanges(plan.window, plan.changes);
}

}  // namespace

int ReplaceAll(HWND window, const char* text, const char* replacement, std::uint32_t flags, HWND owner) {
  std::vector<HWND> windows{window};
  if (flags & kFindAllDocuments) {
    windows = DocumentsInMenuOrder();
    flags &= ~kFindInSelection;
  }
  // Every document is looked at before any is changed: an error in one changes none.
  std::vector<ReplacePlan> plans(windows.size());
  int total = 0;
  for (std::size_t i = 0; i < windows.size(); ++i) {
    if (!PlanReplaceAll(windows[i], text, replacement, flags, owner, plans[i])) return -1;
    total += plans[i].count;
  }
  int made = 0;
  for (const ReplacePlan& plan : plans) {
    if (!ApplyPlan(plan)) {
      // Not expected after the plans fitted; if it happens, the box gives the true count.
      const std::string message =
          std::string(kTooLongText) + " " +
          (made == 0 ? std::string("Nothing was replaced.")
                     : std::to_string(made) + (made == 1 ? " replacement was" : " replacements were") +
                           " made in the documents before it; it and the rest are unchanged.");
      ReportFailure(owner, message);
      return -1;
    }
    made += plan.count;
  }
  if (total == 0) {
    MessageBoxA(owner, "Search text not found", "Finished", MB_OK | MB_ICONINFORMATION);
    return 0;
  }
  std::string message = std::to_string(total) + (total == 1 ? " replacement made." : " replacements made.");
  MessageBoxA(owner, message.c_str(), "Finished", MB_OK | MB_ICONINFORMATION);
  return total;
}

bool SelectionSpansLines(HWND window) {
  HWND edit = DocumentTextControl(window);
  if (!edit) return false;
  const SelectionState selection = ReadSelection(edit);
  return selection.startLine != selection.endLine;
}

std::string InitialFindTextOf(HWND window) {
  HWND edit = DocumentTextControl(window);
  if (!edit) return std::string();
  const SelectionState selection = ReadSelection(edit);
  if (selection.startLine != selection.endLine) return std::string();
  const long lineStart = DocumentLineStart(window, selection.startLine);
  const long lineLength = static_cast<long>(SendMessageA(edit, EM_LINELENGTH, lineStart, 0));
  return InitialFindText(TextRange(edit, lineStart, lineStart + lineLength), selection.start - lineStart,
                         selection.end - lineStart);
}

void FindCommand(HWND frame, SearchState& search) {
  if (!IsDocumentWindow(g_app.activeDocument)) return;
  if (ShowFindDialog(frame, search.text, InitialFindTextOf(g_app.activeDocument)) != 1) return;
  // An empty text is kept, so that Find Next asks again, but neither searched nor remembered.
  if (search.text.empty()) return;
  AddRecent(g_settings.recentFinds, search.text, kRecentFindsCapacity);
  SearchDocument(g_app.activeDocument, search.text.c_str(), g_settings.findFlags);
}

void FindNextCommand(HWND frame, SearchState& search) {
  if (!IsDocumentWindow(g_app.activeDocument)) return;
  if (!search.text.empty())
    SearchDocument(g_app.activeDocument, search.text.c_str(), g_settings.findFlags);
  else
    FindCommand(frame, search);
}

void FindPreviousCommand(HWND frame, SearchState& search) {
  if (!IsDocumentWindow(g_app.activeDocument)) return;
  if (search.text.empty()) return FindCommand(frame, search);
  SearchDocument(g_app.activeDocument, search.text.c_str(), g_settings.findFlags & ~kFindDown);
}

}  // namespace quillon
