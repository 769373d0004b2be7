// Find, Find Next and the search in the active document or in all open documents.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace quillon {

struct SearchState;

// Command Find: the Find dialog, then a search with what it holds; its text goes to `search`.
void FindCommand(HWND frame, SearchState& search);
// Command Find Next: the last search again from the selection, or the Find dialog when there
// is no find text yet.
void FindNextCommand(HWND frame, SearchState& search);

// Command Find Previous (Shift+F3): the last search again, backwards.
void FindPreviousCommand(HWND frame, SearchState& search);

// What the Find and Replace dialogs start with in a document window: its selection within a
// line, or the word at its caret (see InitialFindText).
std::string InitialFindTextOf(HWND window);

enum class SearchOutcome { kFound, kNotFound, kStopped };

// One search with `text` and `flags` in a document window, from its selection (and on through
// the other documents when asked), at the end round from the other end of the document (a
// status-bar note says so). A match is selected; "Search text not found" is shown, owned by
// `notFoundOwner` (the MDI client when none), when there is none at all. An invalid pattern
// or a matching error is reported and gives kStopped.
SearchOutcome SearchDocument(HWND window, const char* text, std::uint32_t flags, HWND notFoundOwner = nullptr);

// Replace: when the selection of `window` is a match of `text`, it is replaced (group
// references expanded for a regular expression); then the next match is searched for.
// Boxes are owned by `owner`.
void ReplaceNext(HWND window, const char* text, const char* replacement, std::uint32_t flags, HWND owner);
// Replace All: every match in the document (with kFindInSelection, in its selection; with
// kFindAllDocuments, in every open document), one undo step per document, then one box with
// the count. The number of replacements, or -1 when an error stopped it (reported to the user;
// documents already done keep their replacements).
int ReplaceAll(HWND window, const char* text, const char* replacement, std::uint32_t flags, HWND owner);

// True when the document window's selection spans lines.
bool SelectionSpansLines(HWND window);

// Remembers that the engine selected [start, end) in `window`, so that the next search goes on
// after it even when it spans lines.
void RememberMatch(HWND window, long start, long end);

}  // namespace quillon
