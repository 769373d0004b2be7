#include "editor/close_question.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillon {
namespace close_question_test {

// A scripted user and file system: the answers in order, the outcomes of the saves in order.
struct Script {
  std::vector<Answer> answers;
  std::vector<SaveOutcome> saves;
  std::string log;  // "Q:changed", "Q:failed", "Q:unsaved", "save", "saveAs", one per step

  CloseSteps Steps() {
    return {[this](const char* question) {
              const std::string q = question;
              log += q == kTextChangedQuestion ? "ask " : q == kSaveFailedQuestion ? "failed? " : "unsaved? ";
              EXPECT_FALSE(answers.empty()) << "asked more often than scripted";
              if (answers.empty()) return Answer::kCancel;
              Answer a = answers.front();
              answers.erase(answers.begin());
              return a;
            },
            [this] { return Next("save "); }, [this] { return Next("saveAs "); }};
  }
  SaveOutcome Next(const char* what) {
    log += what;
    EXPECT_FALSE(saves.empty()) << "saved more often than scripted";
    if (saves.empty()) return SaveOutcome::kFailed;
    SaveOutcome o = saves.front();
    saves.erase(saves.begin());
    return o;
  }
};

TEST(MayCloseDocument, TheTextGoesOnlyOnNoOrWhenSaved) {
  using A = Answer;
  using S = SaveOutcome;
  struct Case {
    const char* name;
    bool modified;
    std::vector<A> answers;
    std::vector<S> saves;
    bool mayClose;
    const char* log;
  };
  const Case cases[] = {
      {"unchanged: no question", false, {}, {}, true, ""},
      {"no", true, {A::kNo}, {}, true, "ask "},
      {"cancel (Esc)", true, {A::kCancel}, {}, false, "ask "},
      {"yes, saved", true, {A::kYes}, {S::kSaved}, true, "ask save "},
      {"yes, fails, no", true, {A::kYes, A::kNo}, {S::kFailed}, true, "ask save failed? "},
      {"yes, fails, cancel", true, {A::kYes, A::kCancel}, {S::kFailed}, false, "ask save failed? "},
      {"yes, name not chosen, cancel", true, {A::kYes, A::kCancel}, {S::kCancelled}, false, "ask save unsaved? "},
      {"yes, fails, saved under another name",
       true,
       {A::kYes, A::kYes},
       {S::kFailed, S::kSaved},
       true,
       "ask save failed? saveAs "},
      {"fails twice, then cancel",
       true,
       {A::kYes, A::kYes, A::kCancel},
       {S::kFailed, S::kCancelled},
       false,
       "ask save failed? saveAs unsaved? "},
  };
  for (const Case& c : cases) {
    Script script{c.answers, c.saves, ""};
    EXPECT_EQ(MayCloseDocument(c.modified, script.Steps()), c.mayClose) << c.name;
    EXPECT_EQ(script.log, c.log) << c.name;
    EXPECT_TRUE(script.answers.empty() && script.saves.empty()) << c.name << ": not every step was taken";
  }
}

}  // namespace close_question_test
}  // namespace quillon
