// The directives: one table of names, flags and handlers, and the handlers.
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "cpasm/assembler_state.h"
#include "cpasm/lexer.h"

namespace cpasm {

namespace {

using A = Assembler;

// Every directive of the source language. The IDE's keyword colours are checked against it.
const DirectiveInfo kDirectives[] = {
    {"IF", kConditional, &A::DoIf},
    {"IFDEF", kConditional, &A::DoIf},
    {"IFNDEF", kConditional, &A::DoIf},
    {"ELSE", kConditional, &A::DoElse},
    {"ENDI", kConditional, &A::DoEndIf},
    {"ENDIF", kConditional, &A::DoEndIf},
    {"EQU", kNamesLabel | kOwnsLabel, &A::DoEqu},
    {"QEQU", kNamesLabel | kOwnsLabel, &A::DoEqu},
    {"SET", kNamesLabel | kOwnsLabel, &A::DoEqu},
    {"QSET", kNamesLabel | kOwnsLabel, &A::DoEqu},
    {"=", kNamesLabel | kOwnsLabel, &A::DoEqu},
    {"MACRO", kNamesLabel | kOwnsLabel, &A::DoMacro},
    {"ENDM", 0, &A::DoEndWithoutStart},
    {"PROC", kNamesLabel | kOwnsLabel, &A::DoProc},
    {"ENDP", kOwnsLabel, &A::DoEndp},
    {"STRUCT", kNamesLabel | kOwnsLabel, &A::DoStruct},
    {"ENDS", 0, &A::DoEnds},
    {"ORG", kOwnsLabel, &A::DoOrg},
    {"RMB", 0, &A::DoReserve},
    {"RES", 0, &A::DoReserve},
    {"RESERVE", 0, &A::DoReserve},
    {"MEMATTR", 0, &A::DoMemAttr},
    {"DECLE", 0, &A::DoData},
    {"DCW", 0, &A::DoData},
    {"BIDECLE", 0, &A::DoData},
    {"WORD", 0, &A::DoData},
    {"BYTE", 0, &A::DoData},
    {"STRING", 0, &A::DoData},
    {"ROMW", 0, &A::DoRomWidth},
    {"ROMWIDTH", 0, &A::DoRomWidth},
    {"CFGVAR", 0, &A::DoConfigVar},
    {"INCLUDE", 0, &A::DoInclude},
    {"REPEAT", 0, &A::DoRepeat},
    {"RPT", 0, &A::DoRepeat},
    {"ENDR", 0, &A::DoEndWithoutStart},
    {"END", 0, &A::DoEnd},
    {"LISTING", 0, &A::DoNothing},  // listing modes: the listing is always whole
    {"ERR", 0, &A::DoErr},
    {"LISTCOL", kIgnored, &A::DoNotSupported},
    {"SRCFILE", 0, &A::DoSourceFile},
    {"BRKIF", kIgnored, &A::DoNotSupported},
    {"CMSG", 0, &A::DoMessage},
    {"SMSG", 0, &A::DoMessage},
    {"WMSG", 0, &A::DoMessage},
    // Overwriting filled addresses is always an error here.
    {"ERR_IF_OVERWRITTEN", kIgnored, &A::DoNotSupported},
    {"FORCE_OVERWRITE", kUnsupported, &A::DoNotSupported},
};

enum Attribute { kRead = 1, kWrite = 2, kNarrow = 4, kBank = 8 };

}  // namespace

const DirectiveInfo* FindDirective(const std::string& name) {
  static const std::unordered_map<std::string, const DirectiveInfo*> table = [] {
    std::unordered_map<std::string, const DirectiveInfo*> byName;
    for (const DirectiveInfo& d : kDirectives) byName.emplace(d.name, &d);
    return byName;
  }();
  auto it = table.find(name);
  return it == table.end() ? nullptr : it->second;
}

std::vector<Keyword> DirectiveKeywords() {
  std::vector<Keyword> words;
  for (const DirectiveInfo& d : kDirectives) words.push_back({d.name, true, (d.flags & kUnsupported) == 0});
  return words;
}

bool Assembler::IsDirective(const std::string& op) { return FindDirective(op) != nullptr; }

void Assembler::DoIf(const DirectiveCall& call) {
  bool active = conditions_.empty() || conditions_.back().active;
  bool taken = false;
  if (active) {
    if (call.op == "IF") {
      // "IF _EXPMAC expr": macros in both branches are expanded anyway where they are used.
      std::string_view condition = Trim(call.operands);
      if (Upper(condition.substr(0, SymbolEnd(condition, 0))) == "_EXPMAC") condition = condition.substr(7);
      int64_t value = 0;
      taken = Eval(condition, value) && value != 0;
    } else {
      std::string_view name = Trim(call.operands);
      if (!ValidSymbolName(name)) {
        Error(call.op + " needs a symbol name");
      } else {
        taken = (call.op == "IFDEF") == symbols_.DefinedSoFar(name);
      }
    }
  }
  conditions_.push_back({taken, active, false, call.line});
}

void Assembler::DoElse(const DirectiveCall&) {
  if (conditions_.empty() || conditions_.back().seenElse) return Error("ELSE without IF");
  Condition& c = conditions_.back();
  c.seenElse = true;
  c.active = c.parentActive && !c.active;
}

void Assembler::DoEndIf(const DirectiveCall& call) {
  if (conditions_.empty()) return Error(call.op + " without IF");
  conditions_.pop_back();
}

void Assembler::DoProc(const DirectiveCall& call) {
  if (call.label.empty()) return Error("PROC needs a label");
  if (inStruct_) return Error("PROC inside a STRUCT");
  Note(symbols_.Qualified(call.label), Definition::Kind::kProc);
  Define(call.label, image_.Location(), false);
  symbols_.Enter(symbols_.Qualified(call.label));
}

void Assembler::EndOfDefinition() {
  if (!definitions_ || !current_ || macroDepth_ > 0) return;
  auto it = definitionIndex_.find(symbols_.Scopes().back());
  if (it == definitionIndex_.end()) return;
  Definition& d = definitions_->definitions[it->second];
  if (d.endLine == 0 && d.file == sources_.Path(current_->file)) d.endLine = current_->line;
}

void Assembler::DoEndp(const DirectiveCall& call) {
  if (symbols_.Scopes().empty() || inStruct_) return Error("ENDP without PROC");
  // "P ENDP" repeats the PROC's name; any other label ("done: ENDP") names the end.
  if (!call.label.empty() && symbols_.Qualified(call.label) != symbols_.Scopes().back())
    Define(call.label, image_.Location(), false);
  EndOfDefinition();
  symbols_.Leave();
}

void Assembler::DoStruct(const DirectiveCall& call) {
  if (call.label.empty()) return Error("STRUCT needs a label");
  if (inStruct_) return Error("STRUCTs do not nest");
  if (!symbols_.Scopes().empty()) return Error("STRUCT inside a PROC");
  int64_t address = 0;
  if (!Trim(call.operands).empty() && !Eval(call.operands, address)) address = 0;
  Note(symbols_.Qualified(call.label), Definition::Kind::kStruct);
  Define(call.label, address, false);
  symbols_.Enter(symbols_.Qualified(call.label));
  inStruct_ = true;
  structSavedLocation_ = image_.Location();
  image_.SetLocation(address);
  lineAddress_ = address;
}

void Assembler::DoEnds(const DirectiveCall&) {
  if (!inStruct_) return Error("ENDS without STRUCT");
  EndOfDefinition();
  inStruct_ = false;
  symbols_.Leave();
  image_.SetLocation(structSavedLocation_);
  lineAddress_ = structSavedLocation_;
}

bool Assembler::ParseAttributes(std::string_view text, int& set, int& clear) {
  set = clear = 0;
  std::string_view rest = text;
  int actions = 0;
  bool exact = false;
  while (!rest.empty()) {
    size_t comma = rest.find(',');
    std::string_view action = Trim(rest.substr(0, comma));
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    if (action.size() < 2 || !std::strchr("+-=", action[0])) {
      Error("bad memory attributes \"" + Shown(text) + "\": each action is +, - or = and flags R, W, N, B");
      return false;
    }
    int flags = 0;
    for (char c : action.substr(1)) {
      const char* at = std::strchr("RWNB", std::toupper(static_cast<unsigned char>(c)));
      if (!at || !c) {
        Error("bad memory attribute '" + std::string(1, c) + "' (R, W, N or B)");
        return false;
      }
      flags |= 1 << (at - "RWNB");
    }
    if (action[0] == '=') {
      exact = true;
      set = flags;
      clear = ~flags & 0xF;
    } else if (action[0] == '+') {
      set |= flags;
      clear &= ~flags;
    } else {
      clear |= flags;
      set &= ~flags;
    }
    ++actions;
  }
  if (actions > 2 || (exact && actions > 1)) {
    Error("bad memory attributes \"" + Shown(text) + "\": at most two actions, and '=' alone");
    return false;
  }
  if ((set & kBank) && !options_.romOutput) {
    Error("bank-switched memory (attribute B) needs .rom output: name the image .rom");
    return false;
  }
  return true;
}

void Assembler::DoOrg(const DirectiveCall& call) {
  std::vector<std::string_view> parts = SplitOperands(call.operands);
  if (parts.empty() || parts.size() > 3)
    return Error("ORG needs an address, and may have an image address and a \"flags\" text");
  std::string_view first = parts[0];
  int page = -1;
  size_t colon = first.find(':');
  if (colon != std::string_view::npos) {
    int64_t p = 0;
    if (!Eval(first.substr(colon + 1), p)) return;
    if (p < 0 || p > 15) return Error("ECS page " + std::to_string(p) + " is outside 0 to 15");
    page = static_cast<int>(p);
    first = first.substr(0, colon);
  }
  int64_t address = 0;
  if (!Eval(first, address)) return;
  if (address < 0 || address > 0xFFFF)
    return Error("ORG address " + std::to_string(address) + " is outside $0000 to $FFFF");
  int64_t imageAddress = address;
  std::string_view flags;
  bool flagsGiven = false;
  for (size_t i = 1; i < parts.size(); ++i) {
    if (IsQuoted(parts[i])) {
      flags = parts[i].substr(1, parts[i].size() - 2);
      flagsGiven = true;
    } else if (i == 1) {
      if (page >= 0) return Error("an ECS page ORG takes no image address");
      if (!Eval(parts[i], imageAddress)) return;
      if (imageAddress < 0 || imageAddress > 0xFFFF)
        return Error("ORG image address " + std::to_string(imageAddress) + " is outside $0000 to $FFFF");
    } else {
      return Error("bad ORG flags " + Shown(parts[i]) + ": expected quoted text such as \"=RW\"");
    }
  }
  int set = 0, clear = 0;
  if (!flagsGiven && imageAddress == address) set = kRead;
  if (flagsGiven && !ParseAttributes(flags, set, clear)) return;
  if (inStruct_) return Error("ORG inside a STRUCT");
  image_.Org(address, imageAddress, page, set, clear);
  lineAddress_ = address;
  if (!call.label.empty()) Define(call.label, address, false);
}

void Assembler::DoReserve(const DirectiveCall& call) {
  int64_t count = 0;
  if (!Eval(call.operands, count)) return;
  if (count < 0 || image_.Location() + count > 0x10000)
    return Error(call.op + " " + std::to_string(count) + " runs past $FFFF");
  image_.Skip(count, !inStruct_);
}

void Assembler::DoMemAttr(const DirectiveCall& call) {
  std::vector<std::string_view> parts = SplitOperands(call.operands);
  if (parts.size() != 3 || !IsQuoted(parts[2])) return Error("MEMATTR needs first, last, \"attributes\"");
  int64_t first = 0, last = 0;
  if (!Eval(parts[0], first) || !Eval(parts[1], last)) return;
  if (first < 0 || last > 0xFFFF || last < first) return Error("bad MEMATTR range");
  int set = 0, clear = 0;
  if (!ParseAttributes(parts[2].substr(1, parts[2].size() - 2), set, clear)) return;
  image_.SetAttributes(first, last, set, clear);
}

void Assembler::DoData(const DirectiveCall& call) {
  const std::string& op = call.op;
  std::vector<std::string_view> items = SplitOperands(call.operands);
  if (items.empty()) return Error(op + " needs at least one value");
  const bool twoBytes = op == "BIDECLE" || op == "WORD";
  std::vector<int64_t> values;
  for (std::string_view item : items) {
    values.clear();
    bool ok = ExpandItem(item, values);
    if (!ok && values.empty()) return;
    for (int64_t value : values) {
      uint16_t word = 0;
      if (twoBytes) {
        if (ok) CheckWord(value, false, "value", word);
        Emit(word & 0xFF);
        Emit(word >> 8);
      } else if (op == "BYTE") {
        if (ok && (value < -128 || value > 255)) Error("value " + std::to_string(value) + " does not fit in a byte");
        Emit(static_cast<uint16_t>(value & 0xFF));
      } else {
        if (ok) CheckWord(value, true, "value", word);
        Emit(word);
      }
    }
  }
}

void Assembler::DoRomWidth(const DirectiveCall& call) {
  std::vector<std::string_view> parts = SplitOperands(call.operands);
  int64_t width = 0, mode = 0;
  if (parts.empty() || parts.size() > 2) return Error("ROMW needs a width, and may have a mode (0 or 1)");
  if (!Eval(parts[0], width)) return;
  if (width != 10 && width != 16) return Error("ROMW " + std::to_string(width) + " is not a ROM width (10 or 16)");
  if (parts.size() == 2 && Eval(parts[1], mode) && mode != 0 && mode != 1)
    return Error("ROMW mode " + std::to_string(mode) + " is not 0 or 1");
  romWidth_ = static_cast<int>(width);
  romMode_ = static_cast<int>(mode);
}

void Assembler::DoConfigVar(const DirectiveCall& call) {
  std::string_view text = Trim(call.operands);
  // The first '=' outside strings: a quoted name may hold one.
  size_t equals = std::string_view::npos;
  Scanner scanner(text);
  for (Token t = scanner.Next(); t.kind != Token::kEnd && equals == std::string_view::npos; t = scanner.Next())
    if (t.kind == Token::kOperator && t.text[0] == '=') equals = t.pos;
  std::string_view name = equals == std::string_view::npos ? text : Trim(text.substr(0, equals));
  std::string decodedName, error;
  if (IsQuoted(name) || (!name.empty() && name[0] == '$')) {
    if (!EvalText(name, decodedName)) return;
  } else {
    decodedName = std::string(name);
  }
  if (equals == std::string_view::npos || decodedName.empty()) return Error("CFGVAR needs \"name\" = value");
  std::string_view valueText = Trim(text.substr(equals + 1));
  std::string value;
  auto startsWith = [&](const char* head) { return valueText.substr(0, std::strlen(head)) == head; };
  if (IsStringToken(valueText) || startsWith("$(") || startsWith("$#(") || startsWith("$$(") || startsWith("$%(") ||
      Upper(valueText.substr(0, 10)) == "TODAY_STR_") {
    std::string chars;
    if (!EvalText(valueText, chars)) return;
    if (chars.find('"') != std::string::npos) return Error("a CFGVAR text cannot hold a double quote");
    value = "\"" + chars + "\"";
  } else {
    int64_t number = 0;
    if (!Eval(valueText, number)) return;
    value = std::to_string(number);
  }
  // A date the tag cannot hold is left out of the .rom: say so.
  std::string date;
  if (options_.romOutput && (decodedName == "year" || decodedName == "release_date" || decodedName == "build_date") &&
      !DateTagBody(value, date))
    Warning("CFGVAR \"" + decodedName + "\" = " + Shown(value) + " is not a date the .rom can hold; it is left out");
  configVars_.emplace_back(decodedName, value);
}

void Assembler::DoInclude(const DirectiveCall& call) {
  std::string_view name = Trim(call.operands);
  if (IsQuoted(name)) name = name.substr(1, name.size() - 2);
  if (name.empty()) return Error("INCLUDE needs a file name");
  int index = -1;
  std::string error;
  if (!sources_.Open(name, call.line.file, index, error)) return Error(error);
  ListLine();
  ProcessLines(sources_.File(index).lines);
  sources_.Close();
}

void Assembler::DoRepeat(const DirectiveCall& call) {
  int64_t count = 0;
  const int64_t most = options_.limits.repeatCount;
  if (Eval(call.operands, count) && (count < 0 || count > most)) {
    Error("REPEAT count " + std::to_string(count) + " is outside 0 to " + std::to_string(most));
    count = 0;
  }
  collect_ = Collect::kRepeat;
  collectDepth_ = 1;
  collectStart_ = call.line;
  repeatCount_ = count < 0 ? 0 : count;
  collected_ = Macro();
}

void Assembler::DoEndWithoutStart(const DirectiveCall& call) {
  Error(call.op + (call.op == "ENDM" ? " without MACRO" : " without REPEAT"));
}

void Assembler::DoEnd(const DirectiveCall&) { ended_ = true; }

void Assembler::DoNothing(const DirectiveCall&) {}

void Assembler::DoErr(const DirectiveCall& call) {
  std::string_view text = Trim(call.operands);
  std::string chars;
  if ((IsQuoted(text) || (!text.empty() && text[0] == '$')) && EvalText(text, chars)) return Error(Shown(chars));
  Error(Shown(text));
}

// WMSG: a warning with the text; CMSG and SMSG: the text as a comment line in the listing.
void Assembler::DoMessage(const DirectiveCall& call) {
  std::string text;
  if (!EvalText(call.operands, text)) return;
  if (call.op == "WMSG") return Warning(Shown(text));
  if (pass_ == 1) return;
  ListLine();
  listing_.Comment(text);
}

void Assembler::DoNotSupported(const DirectiveCall& call) {
  const DirectiveInfo* info = FindDirective(call.op);
  const bool ignored = info && (info->flags & kIgnored);
  Report(!ignored, call.op + " is not supported by this assembler" + (ignored ? "; ignored" : ""), false);
}

}  // namespace cpasm
