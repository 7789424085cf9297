#include "platform/twin/twin_window_ui.h"

namespace platform {

namespace {

// Runs a hook of a modal loop once: the loop serves other messages while it is open, and the
// hook is what a test has one of them do.
void ServeOnce(std::function<void()>& hook) {
  if (!hook) return;
  std::function<void()> serve = hook;
  hook = nullptr;
  serve();
}

}  // namespace

MenuRef WindowUiModel::CreatePopupMenu() {
  MenuRef menu = m_nextMenu++;
  m_menus[menu];
  return menu;
}

bool WindowUiModel::AppendMenu(MenuRef menu, uint32_t flags, uint32_t id, const char* text) {
  auto it = m_menus.find(menu);
  if (it == m_menus.end()) return false;
  MenuItem item;
  item.flags = flags;
  item.id = (flags & kMfSeparator) != 0 ? 0 : id;
  item.text = text == nullptr ? "" : text;
  item.grayed = (flags & kMfGrayed) != 0;
  it->second.push_back(item);
  return true;
}

int WindowUiModel::GetMenuItemCount(MenuRef menu) {
  auto it = m_menus.find(menu);
  return it == m_menus.end() ? -1 : static_cast<int>(it->second.size());
}

uint32_t WindowUiModel::GetMenuItemID(MenuRef menu, int position) {
  auto it = m_menus.find(menu);
  if (it == m_menus.end() || position < 0 || position >= static_cast<int>(it->second.size()))
    return 0xFFFFFFFFu;
  return it->second[static_cast<size_t>(position)].id;
}

void WindowUiModel::EnableMenuItem(MenuRef menu, uint32_t id, uint32_t flags) {
  auto it = m_menus.find(menu);
  if (it == m_menus.end()) return;
  // Like Windows, by command: the first item with that id.
  for (MenuItem& item : it->second) {
    if (!item.IsSeparator() && item.id == id) {
      item.grayed = (flags & kMfGrayed) != 0;
      return;
    }
  }
}

void WindowUiModel::TrackPopupMenu(MenuRef menu, long x, long y) {
  auto it = m_menus.find(menu);
  if (it == m_menus.end()) return;
  lastTrackedMenu = it->second;
  lastTrackedAt = {x, y};
  foregroundBeforeTrack = m_foreground;
  ++trackCount;
  ServeOnce(duringTrack);
}

int WindowUiModel::MessageBox(bool owned, const std::string& text, const std::string& caption,
                              unsigned style) {
  messageBoxes.push_back({owned, text, caption, style});
  if (++m_openMessageBoxes > mostOpenMessageBoxes) mostOpenMessageBoxes = m_openMessageBoxes;
  ServeOnce(duringMessageBox);
  --m_openMessageBoxes;
  if (!answers.empty()) {
    int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  return (style & 0xF) == kMbYesNo ? kIdNo : kIdOk;
}

int WindowUiModel::RunModalDialog(int templateId) {
  modalDialogs.push_back(templateId);
  ServeOnce(duringModal);
  return modalResult;
}

}  // namespace platform
