// The resource script against the window classes: menu 128, its accelerators, and each
// dialog's title, font, controls and ids, as the data exchange and the commands expect them.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "shell/aequa_dialogs.h"
#include "shell/framework/keys.h"
#include "shell/main_menu.h"
#include "shell/resource.h"
#include "shell/windows/win32.h"

namespace aequa::win {
namespace {

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

// A dialog resource (DIALOG, not DIALOGEX) taken apart.
struct ResourceItem {
  DWORD style = 0;
  int x = 0;
  int id = 0;
  uint16_t atom = 0;  // 0x80 button, 0x81 edit, 0x82 static
  std::string text;
};
struct ResourceDialog {
  std::string title;
  int pointSize = 0;
  std::string font;
  std::vector<ResourceItem> items;
};

class Reader {
 public:
  explicit Reader(const uint8_t* p) : base_(p), p_(p) {}
  uint16_t Word() {
    uint16_t w;
    std::memcpy(&w, p_, 2);
    p_ += 2;
    return w;
  }
  uint32_t Dword() {
    uint32_t d;
    std::memcpy(&d, p_, 4);
    p_ += 4;
    return d;
  }
  std::wstring String() {
    std::wstring s;
    for (uint16_t c = Word(); c != 0; c = Word()) s += static_cast<wchar_t>(c);
    return s;
  }
  // A name or an ordinal: returns the string, or the ordinal in `ordinal`.
  std::wstring NameOrOrdinal(uint16_t& ordinal) {
    ordinal = 0;
    uint16_t first;
    std::memcpy(&first, p_, 2);
    if (first == 0) {
      p_ += 2;
      return {};
    }
    if (first == 0xFFFF) {
      p_ += 2;
      ordinal = Word();
      return {};
    }
    return String();
  }
  void AlignDword() {
    while ((p_ - base_) % 4 != 0) ++p_;
  }
  void Skip(size_t n) { p_ += n; }

 private:
  const uint8_t* base_;
  const uint8_t* p_;
};

ResourceDialog LoadDialog(int id) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_DIALOG));
  if (found == nullptr) return {};
  Reader r(static_cast<const uint8_t*>(LockResource(LoadResource(module, found))));
  ResourceDialog d;
  const DWORD style = r.Dword();
  r.Dword();  // extended style
  const int count = r.Word();
  r.Skip(8);  // x, y, cx, cy
  uint16_t ordinal;
  r.NameOrOrdinal(ordinal);  // menu
  r.NameOrOrdinal(ordinal);  // class
  d.title = Narrow(r.String());
  if (style & DS_SETFONT) {
    d.pointSize = r.Word();
    d.font = Narrow(r.String());
  }
  for (int i = 0; i < count; ++i) {
    r.AlignDword();
    ResourceItem item;
    item.style = r.Dword();
    r.Dword();
    item.x = static_cast<int16_t>(r.Word());
    r.Skip(6);  // y, cx, cy
    item.id = static_cast<int16_t>(r.Word());
    std::wstring cls = r.NameOrOrdinal(item.atom);
    uint16_t textOrdinal;
    item.text = Narrow(r.NameOrOrdinal(textOrdinal));
    r.Skip(r.Word());  // creation data
    d.items.push_back(item);
  }
  return d;
}

const ResourceItem* Item(const ResourceDialog& d, int id) {
  for (const ResourceItem& i : d.items) {
    if (i.id == id) return &i;
  }
  return nullptr;
}

std::vector<std::unique_ptr<fw::Dialog>> AllDialogs() {
  std::vector<std::unique_ptr<fw::Dialog>> all;
  all.push_back(std::make_unique<ui::CAboutDlg>());
  all.push_back(std::make_unique<ui::CUserInfoDlg>());
  all.push_back(std::make_unique<ui::CPreferencesDlg>());
  all.push_back(std::make_unique<ui::CPriorityDlg>());
  all.push_back(std::make_unique<ui::CWorkersDlg>());
  all.push_back(std::make_unique<ui::CRangeDlg>());
  all.push_back(std::make_unique<ui::CSumRangeDlg>());
  all.push_back(std::make_unique<ui::CSumDlg>());
  all.push_back(std::make_unique<ui::CPentaDlg>());
  all.push_back(std::make_unique<ui::CQueueDlg>());
  return all;
}

TEST(Resources, EveryDialogHasItsTitleFontControlsAndIds) {
  using Kind = fw::DialogControl::Kind;
  for (const auto& dialog : AllDialogs()) {
    const fw::DialogTemplate& t = dialog->Template();
    SCOPED_TRACE("dialog " + std::to_string(t.id));
    ResourceDialog d = LoadDialog(t.id);
    ASSERT_FALSE(d.items.empty());
    EXPECT_EQ(d.title, t.title);
    EXPECT_EQ(d.pointSize, 8);
    EXPECT_EQ(d.font, "MS Sans Serif");
    std::string statics;
    int rightmostField = 0;
    for (const ResourceItem& i : d.items) {
      if (i.atom == 0x82) statics += i.text + " ";
      if (i.atom == 0x81) rightmostField = std::max(rightmostField, i.x);
    }
    for (const fw::DialogControl& c : t.controls) {
      SCOPED_TRACE(c.text + " " + std::to_string(c.id));
      if (c.kind == Kind::Label) {
        if (c.text.rfind("Contact:", 0) == 0) continue;  // filled in when the box opens
        EXPECT_NE(statics.find(c.text), std::string::npos);
        continue;
      }
      if (c.kind == Kind::Icon || c.kind == Kind::GroupBox) continue;
      const ResourceItem* item = Item(d, c.id);
      ASSERT_NE(item, nullptr);
      switch (c.kind) {
        case Kind::Edit:
          EXPECT_EQ(item->atom, 0x81);
          break;
        case Kind::NumberEdit:
          EXPECT_EQ(item->atom, 0x81);
          EXPECT_TRUE(item->style & ES_NUMBER);
          break;
        case Kind::RadioButton:
          EXPECT_EQ(item->atom, 0x80);
          EXPECT_EQ(item->style & 0xF, static_cast<DWORD>(BS_AUTORADIOBUTTON));
          EXPECT_EQ(item->text, c.text);
          break;
        case Kind::Button:
          EXPECT_EQ(item->atom, 0x80);
          EXPECT_EQ(item->text, c.text);
          EXPECT_GT(item->x, rightmostField);  // OK and Cancel stand at the right
          break;
        default:
          break;
      }
    }
  }
}

TEST(Resources, MenuHoldsEveryItemOfTheWindowWithItsIdAndText) {
  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(ui::IDR_MAINFRAME));
  ASSERT_NE(menu, nullptr);
  const fw::MenuBar expected = ui::MainMenu();
  ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(expected.size()));
  char text[256];
  for (size_t p = 0; p < expected.size(); ++p) {
    GetMenuStringA(menu, static_cast<UINT>(p), text, sizeof text, MF_BYPOSITION);
    EXPECT_EQ(std::string(text), expected[p].text);
    HMENU popup = GetSubMenu(menu, static_cast<int>(p));
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(expected[p].items.size()));
    for (size_t i = 0; i < expected[p].items.size(); ++i) {
      const fw::MenuItem& item = expected[p].items[i];
      SCOPED_TRACE(item.text);
      EXPECT_EQ(GetMenuItemID(popup, static_cast<int>(i)), item.id);
      if (item.id == 0) continue;
      GetMenuStringA(popup, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
      EXPECT_EQ(std::string(text), item.text);
    }
  }
  DestroyMenu(menu);
}

// The key of an accelerator entry as the framework writes it.
fw::Key KeyOf(const ACCEL& a) {
  uint32_t mods = 0;
  if (a.fVirt & FCONTROL) mods |= fw::kModCtrl;
  if (a.fVirt & FSHIFT) mods |= fw::kModShift;
  if (a.fVirt & FALT) mods |= fw::kModAlt;
  if (a.key == VK_ESCAPE) return {fw::kKeyEscape, mods};
  if (a.key >= VK_F1 && a.key <= VK_F12) return {fw::kKeyF1 + (a.key - VK_F1), mods};
  return {a.key, mods};
}

TEST(Resources, AcceleratorsAreThoseOfTheWindow) {
  HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(ui::IDR_MAINFRAME));
  ASSERT_NE(table, nullptr);
  ACCEL entries[64];
  const int count = CopyAcceleratorTableA(table, entries, 64);
  const std::vector<fw::Accelerator> expected = ui::MainAccelerators();
  ASSERT_EQ(count, static_cast<int>(expected.size()));
  for (int i = 0; i < count; ++i) {
    EXPECT_TRUE(entries[i].fVirt & FVIRTKEY);
    EXPECT_EQ(fw::KeyText(KeyOf(entries[i])), fw::KeyText(expected[i].key));
    EXPECT_EQ(entries[i].cmd, expected[i].id);
  }
}

TEST(Resources, StringsAndIcons) {
  HMODULE module = GetModuleHandleA(nullptr);
  char text[256];
  ASSERT_GT(LoadStringA(module, ui::IDR_MAINFRAME, text, sizeof text), 0);
  EXPECT_EQ(std::string(text), "Aequa\n\nAequa\n\n\n\n");
  ASSERT_GT(LoadStringA(module, ui::ID_TEST_NEW, text, sizeof text), 0);
  EXPECT_EQ(std::string(text), "Starts a new computation\nNew");
  ASSERT_GT(LoadStringA(module, ui::ID_TEST_USERINFO, text, sizeof text), 0);
  EXPECT_EQ(std::string(text), "User Information");
  EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(ui::IDR_MAINFRAME), reinterpret_cast<LPCSTR>(RT_GROUP_ICON)), nullptr);
  EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(ui::IDI_PROGRAM), reinterpret_cast<LPCSTR>(RT_GROUP_ICON)), nullptr);
}

}  // namespace
}  // namespace aequa::win
