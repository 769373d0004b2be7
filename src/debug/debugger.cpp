#include "debug/debugger.h"

#include <atomic>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

#include "assemble/assembler_command.h"
#include "assemble/build_runner.h"
#include "assemble/insight_commands.h"
#include "assemble/output_pane.h"
#include "assemble/symbol_index.h"
#include "base/file_io.h"
#include "base/full_path.h"
#include "base/text_util.h"
#include "debug/breakpoints.h"
#include "debug/debug_editor.h"
#include "debug/debug_engine.h"
#include "debug/debug_panes.h"
#include "debug/debug_report.h"
#include "debug/simulator_machine.h"
#include "debug/watches.h"
#include "editor/editor.h"
#include "macros/macro_commands.h"
#include "project/project.h"
#include "project/project_file.h"
#include "resource.h"
#include "ui/app_state.h"

namespace quillon {

namespace {

// One program being debugged: its machine and what the build told of it.
struct Session {
  std::unique_ptr<Machine> machine;
  SourceMap map;
  std::map<std::string, uint32_t> symbols;
  BreakAddresses breaks;  // the user's, and for Run to Cursor its line's too
  CpuState previous;      // at the last stop
  bool havePrevious = false;
  bool ended = false;  // HLT or a fault: it cannot go on
  std::string image;
};

struct Debugger {
  DebugState state = DebugState::kIdle;
  bool startPending = false;  // a build for Start Debugging is running
  std::unique_ptr<Session> session;
  HANDLE worker = nullptr;
  unsigned run = 0;  // counts the worker's runs; a stop message names its run
  std::atomic<bool> breakFlag{false};
  StopReport report;  // written by the worker before it posts WM_DEBUG_STOPPED
  std::mutex notesMutex;
  std::vector<MachineNote> notes;  // warnings from the worker, not yet shown
  WarningFilter filter;
  Breakpoints breakpoints;
  std::string breakpointsProject;  // the project file they were read from; empty: none
  bool breakpointsRead = false;
};

Debugger g_debug;

void DebugPaneLine(const std::string& text, const SourcePlace& place = {}) {
  if (!g_app.outputPane) return;
  g_app.outputPane->Show();
  g_app.outputPane->AddLine(text, place.line >= 0 ? place.file : std::string(), place.line);
}

const char* StatusText() {
  switch (g_debug.state) {
    case DebugState::kIdle:
      return "Not debugging";
    case DebugState::kBuilding:
      return "Building...";
    case DebugState::kRunning:
      return "Running (Pause breaks)";
    case DebugState::kStopped:
      return g_debug.session && g_debug.session->ended ? "Ended" : "Stopped";
  }
  return "";
}

void RefreshPanes() {
  PaneView view;
  Session* s = g_debug.session.get();
  if (s && g_debug.state == DebugState::kStopped) {
    view.machine = s->machine.get();
    view.map = &s->map;
    view.previous = s->havePrevious ? &s->previous : nullptr;
  }
  if (s) view.symbols = &s->symbols;
  view.status = StatusText();
  UpdateDebugPanes(view);
}

void SaveBreakpoints() {
  Project* project = g_app.project;
  if (project && project->loaded) project->SetBreakpoints(g_debug.breakpoints.ProjectLines(project->projectDir));
  ShowBreakpointMarks(g_debug.breakpoints);
}

// The addresses the session's breakpoints stop at.
void ResolveSessionBreaks(Session& session, bool report) {
  session.breaks.reset();
  for (const ResolvedBreakpoint& r : ResolveBreakpoints(g_debug.breakpoints, session.map)) {
    for (uint32_t address : r.addresses) session.breaks.set(address & 0xFFFF);
    if (report && r.addresses.empty()) DebugPaneLine(UnresolvedBreakpointLine(r), r.place);
  }
}

void ShowNotes() {
  std::vector<MachineNote> notes;
  {
    std::lock_guard<std::mutex> lock(g_debug.notesMutex);
    notes.swap(g_debug.notes);
  }
  const SourceMap* map = g_debug.session ? &g_debug.session->map : nullptr;
  for (const MachineNote& note : notes) {
    bool last = false;
    if (!map || !g_debug.filter.Admit(note.pc, note.text, last)) continue;
    const ReportLine line = WarningLine(*map, note.pc, note.text);
    DebugPaneLine(line.text, line.place);
    if (last) DebugPaneLine("More warnings are left out; Start Debugging again shows them anew.");
  }
}

// What a worker runs: the kind of run in the low byte, the run's number above it.
DWORD WINAPI DebugWorker(LPVOID parameter) {
  const auto job = static_cast<unsigned>(reinterpret_cast<UINT_PTR>(parameter));
  const auto kind = static_cast<StepKind>(job & 0xFF);
  Session& session = *g_debug.session;
  HWND frame = FrameWindow();
  try {
    g_debug.report = RunMachine(*session.machine, kind, session.map, session.breaks, g_debug.breakFlag,
                                [frame](const MachineNote& note) {
                                  std::lock_guard<std::mutex> lock(g_debug.notesMutex);
                                  g_debug.notes.push_back(note);
                                  if (g_debug.notes.size() == 1) PostMessageA(frame, WM_DEBUG_NOTE, 0, 0);
                                });
  } catch (...) {
    g_debug.report = StopReport{};
    g_debug.report.cause = StopCause::kEnded;
    g_debug.report.text = "The simulator ran out of memory.";
  }
  PostMessageA(frame, WM_DEBUG_STOPPED, job >> 8, 0);
  return 0;
}

bool Resume(HWND frame, StepKind kind) {
  Session* s = g_debug.session.get();
  if (!s || g_debug.state != DebugState::kStopped || g_debug.worker) return false;
  if (s->ended) {
    DebugPaneLine("The program has ended; Start Debugging runs it again.");
    return false;
  }
  s->previous = s->machine->State();
  s->havePrevious = true;
  g_debug.breakFlag = false;
  const unsigned job = (++g_debug.run & 0xFFFFFF) << 8 | static_cast<unsigned>(kind);
  g_debug.worker =
      CreateThread(nullptr, 0, DebugWorker, reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(job)), 0, nullptr);
  if (!g_debug.worker) {
    DebugPaneLine("Debugging: the simulator's thread could not be started.");
    return false;
  }
  g_debug.state = DebugState::kRunning;
  ClearCurrentLine();
  ShowDebugStatus(StatusText());
  UpdateDebugCommands(frame);
  return true;
}

// Waits for the worker after Break; true when it is gone.
bool JoinWorker(DWORD milliseconds) {
  if (!g_debug.worker) return true;
  if (WaitForSingleObject(g_debug.worker, milliseconds) != WAIT_OBJECT_0) return false;
  CloseHandle(g_debug.worker);
  g_debug.worker = nullptr;
  return true;
}

void Stopped(HWND frame) {
  if (!JoinWorker(INFINITE)) return;
  ShowNotes();
  Session* s = g_debug.session.get();
  if (!s) return;
  g_debug.state = DebugState::kStopped;
  ResolveSessionBreaks(*s, false);  // Run to Cursor's line is a breakpoint no longer
  const StopReport& report = g_debug.report;
  const uint32_t pc = s->machine->State().r[7];
  SourcePlace place;
  const bool mapped = s->map.Find(report.cause == StopCause::kEnded ? report.pc : pc, place);
  switch (report.cause) {
    case StopCause::kEnded: {
      s->ended = true;
      const ReportLine line = WarningLine(s->map, report.pc, report.text);
      DebugPaneLine(mapped ? line.text : "The program stopped: " + report.text + " (at " + HexAddress(report.pc) + ")",
                    line.place);
      break;
    }
    case StopCause::kRefused:
      DebugPaneLine(report.text);
      break;
    case StopCause::kBreakpoint:
    case StopCause::kBreak:
    case StopCause::kStepDone:
      break;
  }
  if (mapped) {
    ShowCurrentLine(place);
  } else if (report.cause != StopCause::kStepDone) {
    DebugPaneLine("Stopped at " + HexAddress(pc) + ", which has no source line.");
  }
  RefreshPanes();
  UpdateDebugCommands(frame);
}

bool ReadLines(const std::string& path, std::vector<std::string>& lines) {
  std::string bytes;
  if (!ReadWholeFile(SystemFiles(), path, bytes)) return false;
  lines = SplitLines(bytes);
  return true;
}

// The map from addresses to lines that the build just read: the bundled assembler's source map,
// or another's listing (a .smap beside its image is left from an earlier build). Says in the pane
// what was missing.
void ReadMap(Session& session) {
  const std::shared_ptr<const BuildInsight> build = LastBuildInsight();
  session.map = build->facts.lines;
  for (size_t i = 0; i < build->lineProblems.size() && i < 5; ++i)
    DebugPaneLine("Source map: " + build->lineProblems[i]);
  if (session.map.Empty())
    DebugPaneLine("Debugging without source lines: the build gave no map from addresses to lines.");
}

// The names the sources define, with the values the map and the sources tell, and those the
// build's assembly gave them.
void ReadSymbols(Session& session, const std::string& mainSource) {
  SymbolIndex index;
  index.Build({mainSource},
              [](const std::string& path, std::string& text) { return ReadWholeFile(SystemFiles(), path, text); });
  std::vector<NamedSymbol> named;
  for (const SymbolDefinition& d : index.Definitions()) {
    const bool label = d.kind == SymbolDefinition::Kind::kLabel || d.kind == SymbolDefinition::Kind::kProc ||
                       d.kind == SymbolDefinition::Kind::kLocal;
    const bool value = d.kind == SymbolDefinition::Kind::kEqu || d.kind == SymbolDefinition::Kind::kSet;
    if (label || value) named.push_back({d.name, label, d.file, d.line - 1});
  }
  session.symbols = KnownSymbolValues(named, session.map, ReadLines);
  TakeAssembledValues(LastBuildInsight()->facts.symbols, session.symbols);
}

void StartSession(HWND frame) {
  const PlaceholderValues paths = CurrentPlaceholders();
  auto session = std::make_unique<Session>();
  session->image = paths.output;
  std::string problem;
  const char* romPath = getenv("JZINTV_ROM_PATH");
  const std::string folder =
      g_app.project && g_app.project->loaded ? g_app.project->projectDir : FolderOf(session->image);
  session->machine = LoadSimulatorMachine(session->image, romPath ? romPath : "", folder, problem);
  if (!session->machine) {
    DebugPaneLine("Debugging not started: " + problem);
    g_debug.state = DebugState::kIdle;
    UpdateDebugCommands(frame);
    return;
  }
  ForgetSourceTexts();
  ReadMap(*session);
  ReadSymbols(*session, paths.input);
  g_debug.filter.Reset();
  g_debug.session = std::move(session);
  ResolveSessionBreaks(*g_debug.session, true);
  DebugPaneLine("Debugging " + g_debug.session->image);
  CreateDebugPanes(frame);
  ShowDebugPanes(true);
  g_debug.state = DebugState::kStopped;
  Resume(frame, StepKind::kRun);
}

void StartDebugging(HWND frame) {
  if (g_debug.state == DebugState::kBuilding || g_app.buildThread) {
    StartBuild(frame);  // says that a build is running
    return;
  }
  EndDebugging();
  SyncBreakpointsWithProject();
  g_debug.startPending = true;
  if (!StartBuild(frame)) {
    g_debug.startPending = false;
    return;
  }
  g_debug.state = DebugState::kBuilding;
  UpdateDebugCommands(frame);
}

void RunToCursor(HWND frame) {
  Session* s = g_debug.session.get();
  if (!s || g_debug.state != DebugState::kStopped) return;
  std::string path;
  int line = 0;
  if (!ActiveCaretLine(path, line)) return;
  const int codeLine = s->map.NextLineWithCode(path, line);
  if (codeLine < 0) {
    DebugPaneLine(path + ":" + std::to_string(line + 1) + ": WARNING - Run to Cursor: no code on this line or after it",
                  {path, line});
    return;
  }
  for (uint32_t address : s->map.AddressesOf(path, codeLine)) s->breaks.set(address & 0xFFFF);
  Resume(frame, StepKind::kRun);
}

void ToggleAtCaret() {
  std::string path;
  int line = 0;
  if (ActiveCaretLine(path, line)) ToggleBreakpointAt(path, line);
}

}  // namespace

void ToggleBreakpointAt(const std::string& path, int line) {
  SyncBreakpointsWithProject();
  g_debug.breakpoints.Toggle(path, line);
  SaveBreakpoints();
  if (g_debug.session && g_debug.state == DebugState::kStopped) ResolveSessionBreaks(*g_debug.session, false);
}

void BreakpointsFollowMarks(const std::string& path) {
  SyncBreakpointsWithProject();
  const std::vector<int> marked = MarkedBreakpointLines(path);
  if (marked == g_debug.breakpoints.LinesOf(path)) return;
  g_debug.breakpoints.SetLines(path, marked);
  SaveBreakpoints();
}

void SyncBreakpointsWithProject() {
  const Project* project = g_app.project;
  const std::string file = project && project->loaded ? project->ProjectFile() : std::string();
  if (g_debug.breakpointsRead && file == g_debug.breakpointsProject) return;
  g_debug.breakpointsRead = true;
  g_debug.breakpointsProject = file;
  g_debug.breakpoints.Clear();
  if (!file.empty()) g_debug.breakpoints.ReadProjectLines(project->Breakpoints(), project->projectDir);
  ShowBreakpointMarks(g_debug.breakpoints);
}

bool DebugCommand(HWND frame, int id) {
  switch (id) {
    case IDM_DEBUG_START:
      StartDebugging(frame);
      return true;
    case IDM_DEBUG_STOP:
      if (g_debug.state == DebugState::kIdle) return true;
      if (!EndDebugging()) {
        DebugPaneLine("The program did not stop within 5 seconds: Stop Debugging again.");
        return true;
      }
      DebugPaneLine("Debugging stopped.");
      ShowDebugPanes(false);  // they would show "Not debugging" over the text; Start brings them back
      return true;
    case IDM_DEBUG_BREAK:
      if (g_debug.state == DebugState::kRunning) g_debug.breakFlag = true;
      return true;
    case IDM_DEBUG_CONTINUE:
      Resume(frame, StepKind::kRun);
      return true;
    case IDM_DEBUG_STEPINTO:
      Resume(frame, StepKind::kInto);
      return true;
    case IDM_DEBUG_STEPOVER:
      Resume(frame, StepKind::kOver);
      return true;
    case IDM_DEBUG_STEPOUT:
      Resume(frame, StepKind::kOut);
      return true;
    case IDM_DEBUG_RUNTOCURSOR:
      RunToCursor(frame);
      return true;
    case IDM_DEBUG_TOGGLEBREAKPOINT:
      ToggleAtCaret();
      return true;
    case IDM_DEBUG_PANES:
      CreateDebugPanes(frame);
      RefreshPanes();
      ShowDebugPanes(!IsWindowVisible(DebugPanesWindow()));
      return true;
  }
  return false;
}

void DebugBuildFinished(HWND frame) {
  if (!g_debug.startPending) return;
  g_debug.startPending = false;
  if (!LastBuildSucceeded()) {
    DebugPaneLine("Debugging not started: the build failed.");
    g_debug.state = DebugState::kIdle;
    UpdateDebugCommands(frame);
    return;
  }
  StartSession(frame);
}

bool DebugMessage(HWND frame, UINT message, WPARAM wParam) {
  if (message == WM_DEBUG_NOTE) {
    ShowNotes();
    return true;
  }
  if (message == WM_DEBUG_STOPPED) {
    // A run that Stop Debugging ended may tell of its end after the next one began.
    if (wParam == (g_debug.run & 0xFFFFFF) && g_debug.worker) Stopped(frame);
    return true;
  }
  return false;
}

void UpdateDebugCommands(HWND frame) {
  HMENU menu = frame ? GetMenu(frame) : nullptr;
  if (!menu) return;
  const DebugState state = g_debug.state;
  const bool stopped = state == DebugState::kStopped && g_debug.session && !g_debug.session->ended;
  const struct {
    int id;
    bool on;
  } items[] = {
      {IDM_DEBUG_START, state != DebugState::kBuilding},
      {IDM_DEBUG_STOP, state != DebugState::kIdle},
      {IDM_DEBUG_BREAK, state == DebugState::kRunning},
      {IDM_DEBUG_CONTINUE, stopped},
      {IDM_DEBUG_STEPINTO, stopped},
      {IDM_DEBUG_STEPOVER, stopped},
      {IDM_DEBUG_STEPOUT, stopped},
      {IDM_DEBUG_RUNTOCURSOR, stopped},
  };
  for (const auto& item : items) EnableMenuItem(menu, item.id, MF_BYCOMMAND | (item.on ? MF_ENABLED : MF_GRAYED));
}

bool EndDebugging() {
  g_debug.startPending = false;
  if (g_debug.worker) {
    g_debug.breakFlag = true;
    if (!JoinWorker(5000)) return false;  // a step never takes this long between its checks
    ShowNotes();
  }
  g_debug.session.reset();
  g_debug.state = DebugState::kIdle;
  ClearCurrentLine();
  RefreshPanes();
  UpdateDebugCommands(FrameWindow());
  return true;
}

DebugState CurrentDebugState() { return g_debug.state; }
bool DebugWorkerAlive() { return g_debug.worker != nullptr && WaitForSingleObject(g_debug.worker, 0) == WAIT_TIMEOUT; }

std::string DebugBreakpointLines(const std::string& path) {
  std::string text;
  for (int line : g_debug.breakpoints.LinesOf(path)) text += (text.empty() ? "" : " ") + std::to_string(line + 1);
  return text;
}

}  // namespace quillon
