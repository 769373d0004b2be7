// The window base: a window reaches its object only while both exist, and the object sees the
// window's own creation and destruction.
#include "ui/window.h"

#include <windows.h>
#include <gtest/gtest.h>

namespace quillon::test {
namespace window_test {

constexpr const char* kMadeByObject = "QUILLON_TEST_MADE_BY_OBJECT";
constexpr const char* kMadeByWindow = "QUILLON_TEST_MADE_BY_WINDOW";

struct Seen {
  int created = 0;
  int destroyed = 0;
  int deleted = 0;
};
Seen g_seen;

// Counts what reaches it; takes WM_CLOSE so that closing leaves the window up.
class Probe : public WindowObject {
 public:
  ~Probe() override { ++g_seen.deleted; }
  bool OnCreate() override {
    ++g_seen.created;
    return true;
  }
  bool OnDestroy() override {
    ++g_seen.destroyed;
    return true;
  }
  bool OnClose() override { return true; }
};

// Makes its window; the window carries it.
class Owner : public Probe {
 public:
  explicit Owner(int) { Create(0, kMadeByObject, WS_OVERLAPPED, nullptr, 0, GetModuleHandleA(nullptr)); }
};

// Made by its window when the window is created by class name.
class Made : public Probe {};

class WindowBaseTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WindowClassSpec spec;
    spec.name = kMadeByObject;
    spec.procedure = WindowObject::ClassProcedure<Owner>;
    RegisterWindowClass(GetModuleHandleA(nullptr), spec);
    spec.name = kMadeByWindow;
    spec.procedure = WindowObject::ClassProcedure<Made>;
    RegisterWindowClass(GetModuleHandleA(nullptr), spec);
  }
  void SetUp() override { g_seen = Seen{}; }
};

TEST_F(WindowBaseTest, ObjectThatMakesItsWindowIsReachedOnlyWhileTheWindowLives) {
  auto* owner = new Owner(0);
  HWND window = owner->Handle();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(g_seen.created, 1);
  EXPECT_EQ(WindowObject::Of<Owner>(window), owner);
  EXPECT_EQ(WindowObject::Of<Made>(window), nullptr) << "the class names another type";

  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(window)) << "the member handler took WM_CLOSE";

  DestroyWindow(window);
  EXPECT_EQ(g_seen.destroyed, 1);
  EXPECT_EQ(owner->Handle(), nullptr);
  EXPECT_EQ(WindowObject::Of<Owner>(window), nullptr);
  EXPECT_EQ(g_seen.deleted, 0) << "the object is its maker's";
  delete owner;

  // Deleting the object first takes its window along, without handing its messages to an
  // object that is half gone.
  owner = new Owner(0);
  window = owner->Handle();
  delete owner;
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(g_seen.destroyed, 1);
}

TEST_F(WindowBaseTest, WindowCreatedByClassNameMakesItsObjectAndDeletesItOnce) {
  HWND window = CreateWindowExA(0, kMadeByWindow, nullptr, WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  Made* made = WindowObject::Of<Made>(window);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->Handle(), window);
  EXPECT_EQ(g_seen.created, 1);

  HWND other = CreateWindowExA(0, "STATIC", nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  EXPECT_EQ(WindowObject::Of<Made>(other), nullptr) << "a window of another class";
  DestroyWindow(other);

  DestroyWindow(window);
  EXPECT_EQ(g_seen.destroyed, 1);
  EXPECT_EQ(g_seen.deleted, 1);
  EXPECT_EQ(WindowObject::Of<Made>(window), nullptr);
}

}  // namespace window_test
}  // namespace quillon::test
