// The in-memory window seam: menus kept as item lists, message boxes logged and answered from
// a script, posted messages queued for the test to deliver.
#pragma once
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/window_ui.h"

namespace platform {

class WindowUiModel : public IWindowUi {
 public:
  struct MenuItem {
    uint32_t flags = 0;
    uint32_t id = 0;
    std::string text;
    bool grayed = false;
    bool IsSeparator() const { return (flags & kMfSeparator) != 0; }
    bool IsOwnerDraw() const { return (flags & kMfOwnerDraw) != 0; }
  };
  struct MessageBoxCall {
    bool owned = false;
    std::string text;
    std::string caption;
    unsigned style = 0;
  };

  // The items of the last menu that was tracked, and where.
  std::vector<MenuItem> lastTrackedMenu;
  CursorPos lastTrackedAt;
  int trackCount = 0;
  bool foregroundBeforeTrack = false;
  CursorPos cursor;
  std::vector<MessageBoxCall> messageBoxes;
  // Answers for the next message boxes in order; kIdOk, or kIdNo for Yes/No boxes, after.
  std::deque<int> answers;
  std::vector<uint32_t> postedMessages;
  // Modal dialogs run, by template, and what each returned; EndModalDialog results.
  std::vector<int> modalDialogs;
  int modalResult = 1;
  std::vector<int> endedDialogs;
  // Called while a modal dialog runs, as its loop would serve other messages meanwhile.
  std::function<void()> duringModal;
  // Called while a popup menu is tracked, as the menu's loop serves other messages too.
  std::function<void()> duringTrack;
  // Called while a message box is open, once, as its loop serves the window's messages.
  std::function<void()> duringMessageBox;
  // The most message boxes that were open at one time.
  int mostOpenMessageBoxes = 0;

  size_t LiveMenuCount() const { return m_menus.size(); }

  MenuRef CreatePopupMenu() override;
  bool AppendMenu(MenuRef menu, uint32_t flags, uint32_t id, const char* text) override;
  int GetMenuItemCount(MenuRef menu) override;
  uint32_t GetMenuItemID(MenuRef menu, int position) override;
  void EnableMenuItem(MenuRef menu, uint32_t id, uint32_t flags) override;
  void SetForegroundWindow() override { m_foreground = true; }
  void TrackPopupMenu(MenuRef menu, long x, long y) override;
  void DestroyMenu(MenuRef menu) override { m_menus.erase(menu); }
  CursorPos GetCursorPos() override { return cursor; }
  int MessageBox(bool owned, const std::string& text, const std::string& caption,
                 unsigned style) override;
  void PostMessage(uint32_t message) override { postedMessages.push_back(message); }
  int RunModalDialog(int templateId) override;
  void EndModalDialog(int result) override { endedDialogs.push_back(result); }

 private:
  std::map<MenuRef, std::vector<MenuItem>> m_menus;
  MenuRef m_nextMenu = 0x100;
  int m_openMessageBoxes = 0;
  bool m_foreground = false;
};

}  // namespace platform
