#include "platform/twin/twin_dialog_ui.h"

#include <algorithm>

#include "platform/text/mbcs_text.h"

namespace platform {

namespace {

constexpr int kCbErr = -1;
constexpr int kIdOk = 1;

bool StartsWithFolded(const std::string& text, const std::string& prefix) {
  // The list box compares with case folded.
  const std::string t = MbcsUpper(text), p = MbcsUpper(prefix);
  return t.compare(0, p.size(), p) == 0;
}

}  // namespace

DialogUiModel::Control& DialogUiModel::AddControl(int id, Kind kind, const std::string& text) {
  Control& control = m_controls[id];
  control = Control();
  control.kind = kind;
  control.text = text;
  return control;
}

const DialogUiModel::Control* DialogUiModel::Find(int id) const {
  auto it = m_controls.find(id);
  return it == m_controls.end() ? nullptr : &it->second;
}

const DialogUiModel::ImageList* DialogUiModel::FindImageList(ImageListRef list) const {
  auto it = m_imageLists.find(list);
  return it == m_imageLists.end() ? nullptr : &it->second;
}

DialogUiModel::Control* DialogUiModel::GetAny(int id) {
  auto it = m_controls.find(id);
  return it == m_controls.end() ? nullptr : &it->second;
}

DialogUiModel::Control* DialogUiModel::Get(int id, Kind kind) {
  Control* control = GetAny(id);
  return control != nullptr && control->kind == kind ? control : nullptr;
}

std::string DialogUiModel::GetText(int id) {
  const Control* control = GetAny(id);
  if (control == nullptr) return std::string();
  // A drop-down list has no edit field: its window text is the selected item's.
  if (control->kind == Kind::kComboBox)
    return control->curSel >= 0 ? control->items[static_cast<size_t>(control->curSel)]
                                : std::string();
  return control->text;
}

void DialogUiModel::SetText(int id, const std::string& text) {
  Control* control = GetAny(id);
  if (control == nullptr) return;
  // A drop-down list has no edit field: WM_SETTEXT answers CB_ERR and changes nothing.
  if (control->kind == Kind::kComboBox) return;
  control->text = text;
}

void DialogUiModel::Enable(int id, bool enable) {
  if (Control* control = GetAny(id)) control->enabled = enable;
}

bool DialogUiModel::IsEnabled(int id) {
  const Control* control = GetAny(id);
  return control != nullptr && control->enabled;
}

void DialogUiModel::Show(int id, bool show) {
  if (Control* control = GetAny(id)) control->visible = show;
}

bool DialogUiModel::IsVisible(int id) {
  const Control* control = GetAny(id);
  return control != nullptr && control->visible;
}

int DialogUiModel::ClientWidth(int id) {
  const Control* control = GetAny(id);
  return control != nullptr ? control->clientWidth : 0;
}

int DialogUiModel::ComboAddString(int id, const std::string& text) {
  Control* combo = Get(id, Kind::kComboBox);
  if (combo == nullptr) return kCbErr;
  size_t at = combo->items.size();
  if (combo->sorted) {
    const std::string key = MbcsUpper(text);
    at = 0;
    while (at < combo->items.size() && MbcsUpper(combo->items[at]) < key) ++at;
  }
  combo->items.insert(combo->items.begin() + static_cast<long>(at), text);
  // The selection stays on its item, which an insertion above it moves down.
  if (combo->curSel >= static_cast<int>(at)) ++combo->curSel;
  return static_cast<int>(at);
}

int DialogUiModel::ComboDeleteString(int id, int index) {
  Control* combo = Get(id, Kind::kComboBox);
  if (combo == nullptr || index < 0 || index >= static_cast<int>(combo->items.size()))
    return kCbErr;
  combo->items.erase(combo->items.begin() + index);
  if (combo->curSel == index)
    combo->curSel = -1;
  else if (combo->curSel > index)
    --combo->curSel;
  return static_cast<int>(combo->items.size());
}

int DialogUiModel::ComboFindString(int id, int startAfter, const std::string& prefix) {
  Control* combo = Get(id, Kind::kComboBox);
  if (combo == nullptr || prefix.empty()) return kCbErr;
  const int count = static_cast<int>(combo->items.size());
  if (count == 0) return kCbErr;
  // The search begins after startAfter and wraps round to it; -1 or an index past the end
  // searches the whole list from the top.
  int first = startAfter + 1;
  if (first < 0 || first >= count) first = 0;
  for (int n = 0; n < count; ++n) {
    int i = (first + n) % count;
    if (StartsWithFolded(combo->items[static_cast<size_t>(i)], prefix)) return i;
  }
  return kCbErr;
}

int DialogUiModel::ComboSetCurSel(int id, int index) {
  Control* combo = Get(id, Kind::kComboBox);
  if (combo == nullptr) return kCbErr;
  if (index < 0 || index >= static_cast<int>(combo->items.size())) {
    combo->curSel = -1;
    return kCbErr;
  }
  combo->curSel = index;
  return index;
}

int DialogUiModel::ComboGetCurSel(int id) {
  const Control* combo = Get(id, Kind::kComboBox);
  return combo == nullptr ? kCbErr : combo->curSel;
}

int DialogUiModel::ComboGetCount(int id) {
  const Control* combo = Get(id, Kind::kComboBox);
  return combo == nullptr ? kCbErr : static_cast<int>(combo->items.size());
}

std::string DialogUiModel::ComboGetItemText(int id, int index) {
  const Control* combo = Get(id, Kind::kComboBox);
  if (combo == nullptr || index < 0 || index >= static_cast<int>(combo->items.size()))
    return std::string();
  return combo->items[static_cast<size_t>(index)];
}

void DialogUiModel::ComboResetContent(int id) {
  if (Control* combo = Get(id, Kind::kComboBox)) {
    combo->items.clear();
    combo->curSel = -1;
  }
}

ImageListRef DialogUiModel::CreateImageList(int cx, int cy, int initial, int grow) {
  if (cx <= 0 || cy <= 0) return 0;
  ImageListRef ref = m_nextImageList++;
  ImageList& list = m_imageLists[ref];
  list.cx = cx;
  list.cy = cy;
  list.initial = initial;
  list.grow = grow;
  return ref;
}

int DialogUiModel::ImageListAddBitmap(ImageListRef list, int bitmapId, uint32_t maskRgb) {
  auto it = m_imageLists.find(list);
  if (it == m_imageLists.end()) return -1;
  it->second.bitmaps.push_back(bitmapId);
  it->second.masks.push_back(maskRgb);
  return static_cast<int>(it->second.bitmaps.size()) - 1;
}

void DialogUiModel::ListSetSmallImageList(int id, ImageListRef list) {
  if (Control* view = Get(id, Kind::kListView)) view->smallImages = list;
}

int DialogUiModel::ListInsertColumn(int id, int column, const std::string& header, int width,
                                    int /*subItem*/) {
  Control* view = Get(id, Kind::kListView);
  if (view == nullptr || column < 0) return -1;
  size_t at = std::min(static_cast<size_t>(column), view->columnHeaders.size());
  view->columnHeaders.insert(view->columnHeaders.begin() + static_cast<long>(at), header);
  view->columnWidths.insert(view->columnWidths.begin() + static_cast<long>(at), width);
  return static_cast<int>(at);
}

int DialogUiModel::ListInsertItem(int id, int index, const std::string& text, int image) {
  Control* view = Get(id, Kind::kListView);
  if (view == nullptr || index < 0) return -1;
  // An index past the end appends, as the list view does.
  size_t at = std::min(static_cast<size_t>(index), view->rows.size());
  ListRow row;
  row.image = image;
  row.texts.push_back(text);
  view->rows.insert(view->rows.begin() + static_cast<long>(at), row);
  return static_cast<int>(at);
}

bool DialogUiModel::ListSetItemText(int id, int item, int subItem, const std::string& text) {
  Control* view = Get(id, Kind::kListView);
  if (view == nullptr || item < 0 || item >= static_cast<int>(view->rows.size()) ||
      subItem < 0)
    return false;
  // Sub-items exist only for the columns the view has (sub-item 0 always).
  if (subItem > 0 && subItem >= static_cast<int>(view->columnHeaders.size())) return false;
  std::vector<std::string>& texts = view->rows[static_cast<size_t>(item)].texts;
  if (texts.size() <= static_cast<size_t>(subItem)) texts.resize(static_cast<size_t>(subItem) + 1);
  texts[static_cast<size_t>(subItem)] = text;
  return true;
}

std::string DialogUiModel::ListGetItemText(int id, int item, int subItem) {
  const Control* view = Get(id, Kind::kListView);
  if (view == nullptr || item < 0 || item >= static_cast<int>(view->rows.size()) || subItem < 0)
    return std::string();
  const std::vector<std::string>& texts = view->rows[static_cast<size_t>(item)].texts;
  return static_cast<size_t>(subItem) < texts.size() ? texts[static_cast<size_t>(subItem)]
                                                      : std::string();
}

bool DialogUiModel::ListDeleteAllItems(int id) {
  Control* view = Get(id, Kind::kListView);
  if (view == nullptr) return false;
  view->rows.clear();
  return true;
}

int DialogUiModel::ListGetItemCount(int id) {
  const Control* view = Get(id, Kind::kListView);
  return view == nullptr ? 0 : static_cast<int>(view->rows.size());
}

int DialogUiModel::MessageBox(const std::string& text, const std::string& caption,
                              unsigned style) {
  messageBoxes.push_back({text, caption, style});
  if (answers.empty()) return kIdOk;
  int answer = answers.front();
  answers.pop_front();
  return answer;
}

}  // namespace platform
