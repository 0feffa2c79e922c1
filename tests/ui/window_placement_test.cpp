// The main window's position kept in the real registry of the test prefix: restored at start,
// saved when the window goes, with the rules for positions off screen, zero values, a
// minimised window and edges outside 1..5000.
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "ui/main_dlg.h"
#include "ui/ui_test_support.h"

namespace {

struct CScreen {
  int width;
  int height;
};

CScreen ScreenSize() {
  HDC dc = GetDC(nullptr);
  CScreen screen{GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES)};
  ReleaseDC(nullptr, dc);
  return screen;
}

POINT TopLeft(HWND hwnd) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  return POINT{rect.left, rect.top};
}

class WindowPlacementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearStoredPosition();
    // Where the window opens with nothing stored: the platform's default (centred).
    POINT first = Open();
    defaultCorner = first;
    Close();
    ClearStoredPosition();
  }
  void TearDown() override {
    CRegistryStore::RefuseMachineKeyForTesting(false);
    dialog.reset();
    PumpMessages();
    ClearStoredPosition();
  }
  POINT Open() {
    dialog = std::make_unique<CMainDlg>();
    EXPECT_TRUE(dialog->Create(nullptr));
    ShowWindow(dialog->Hwnd(), SW_SHOW);
    PumpMessages();
    return TopLeft(dialog->Hwnd());
  }
  void MoveTo(int x, int y) {
    SetWindowPos(dialog->Hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpMessages();
  }
  void Close() {
    dialog->DestroyWindow();
    PumpMessages();
    dialog.reset();
  }
  static std::optional<POINT> Stored() {
    auto x = StoredValue(L"win_x");
    auto y = StoredValue(L"win_y");
    if (!x || !y) return std::nullopt;
    return POINT{static_cast<LONG>(*x), static_cast<LONG>(*y)};
  }

  std::unique_ptr<CMainDlg> dialog;
  POINT defaultCorner{};
};

TEST_F(WindowPlacementTest, FirstRunOpensCentredAndSavesWhereItWas) {
  CScreen screen = ScreenSize();
  POINT corner = Open();
  RECT rect{};
  GetWindowRect(dialog->Hwnd(), &rect);
  EXPECT_NEAR((screen.width - (rect.right - rect.left)) / 2, corner.x, 2);
  EXPECT_NEAR((screen.height - (rect.bottom - rect.top)) / 2, corner.y, 2);
  EXPECT_FALSE(Stored().has_value());  // nothing is written before the window goes
  Close();
  auto stored = Stored();
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(corner.x, stored->x);
  EXPECT_EQ(corner.y, stored->y);
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), StoredType(L"win_x"));
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), StoredType(L"win_y"));
}

TEST_F(WindowPlacementTest, RestoresTheStoredCorner) {
  CScreen screen = ScreenSize();
  const struct {
    uint32_t x, y;
    LONG expectedX, expectedY;
  } cases[] = {
      {300, 200, 300, 200},
      {1, 1, 1, 1},
      // Beyond the screen on one axis: that axis is pulled to the middle, the other stays.
      {static_cast<uint32_t>(screen.width - 50), 200, screen.width / 2, 200},
      {300, static_cast<uint32_t>(screen.height - 100), 300, screen.height / 2},
      {static_cast<uint32_t>(screen.width - 101), static_cast<uint32_t>(screen.height - 101),
       screen.width - 101, screen.height - 101},
      // A negative stored value counts as very large.
      {static_cast<uint32_t>(-100), 200, screen.width / 2, 200},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "stored " << c.x << "," << c.y);
    StorePosition(c.x, c.y);
    POINT corner = Open();
    EXPECT_EQ(c.expectedX, corner.x);
    EXPECT_EQ(c.expectedY, corner.y);
    dialog.reset();  // without saving: the object goes, its window with it
    ClearStoredPosition();
  }
}

TEST_F(WindowPlacementTest, IgnoresMissingOrZeroValues) {
  const struct {
    std::optional<uint32_t> x, y;
  } cases[] = {{300, 0}, {0, 200}, {0, 0}, {300, std::nullopt}, {std::nullopt, 200}, {0xFFFFFFFFu, 200}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "stored " << (c.x ? static_cast<long long>(*c.x) : -2) << ","
                                    << (c.y ? static_cast<long long>(*c.y) : -2));
    ClearStoredPosition();
    if (c.x) StoreValue(L"win_x", *c.x);
    if (c.y) StoreValue(L"win_y", *c.y);
    POINT corner = Open();
    EXPECT_EQ(defaultCorner.x, corner.x);
    EXPECT_EQ(defaultCorner.y, corner.y);
    dialog.reset();
  }
}

TEST_F(WindowPlacementTest, SavesOnlyACornerWithinOneTo5000) {
  const struct {
    int x, y;
    bool saved;
  } cases[] = {
      {320, 240, true}, {1, 1, true},      {5000, 5000, true}, {0, 100, false},
      {100, 0, false},  {-50, 100, false}, {6000, 300, false}, {300, 5001, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "closed at " << c.x << "," << c.y);
    StorePosition(700, 500);
    Open();
    MoveTo(c.x, c.y);
    ASSERT_EQ(c.x, TopLeft(dialog->Hwnd()).x);
    ASSERT_EQ(c.y, TopLeft(dialog->Hwnd()).y);
    Close();
    auto stored = Stored();
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(c.saved ? c.x : 700, stored->x);
    EXPECT_EQ(c.saved ? c.y : 500, stored->y);
  }
}

TEST_F(WindowPlacementTest, KeepsThePreviousCornerWhenClosedMinimised) {
  StorePosition(300, 200);
  Open();
  MoveTo(400, 300);
  ShowWindow(dialog->Hwnd(), SW_MINIMIZE);
  PumpMessages();
  ASSERT_TRUE(IsIconic(dialog->Hwnd()));
  Close();
  auto stored = Stored();
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(300, stored->x);
  EXPECT_EQ(200, stored->y);
}

// An ordinary Windows account may not write below HKEY_LOCAL_MACHINE (Wine lets it, so the
// refusal is made here): the position is kept below HKEY_CURRENT_USER and read from there
// first, and a position the machine's key holds is still read.
TEST_F(WindowPlacementTest, IsKeptForTheUserWhereTheMachineKeyIsRefused) {
  CRegistryStore::RefuseMachineKeyForTesting(true);
  StorePosition(300, 200);
  POINT corner = Open();
  EXPECT_EQ(300, corner.x);
  EXPECT_EQ(200, corner.y);
  MoveTo(250, 150);
  Close();
  EXPECT_EQ(250u, StoredUserValue(L"win_x"));
  EXPECT_EQ(150u, StoredUserValue(L"win_y"));
  auto machine = Stored();
  ASSERT_TRUE(machine.has_value());
  EXPECT_EQ(300, machine->x);
  EXPECT_EQ(200, machine->y);
  // The next run opens where this one was closed.
  corner = Open();
  CRegistryStore::RefuseMachineKeyForTesting(false);
  EXPECT_EQ(250, corner.x);
  EXPECT_EQ(150, corner.y);
}

TEST_F(WindowPlacementTest, RoundTripsThroughTheRegistry) {
  Open();
  MoveTo(250, 150);
  Close();
  POINT corner = Open();
  EXPECT_EQ(250, corner.x);
  EXPECT_EQ(150, corner.y);
}

}  // namespace
