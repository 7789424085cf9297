// The in-memory dialog seam: a model of the dialog's controls that keeps the Win32 semantics
// the programs rely on — sorted insertion in sorted combo boxes, case-insensitive prefix
// search from the top, the selection moving with inserted and deleted items, enable and show
// state — and a log of message boxes answered from a script.
#pragma once
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/dialog_ui.h"

namespace platform {

class DialogUiModel : public IDialogUi {
 public:
  enum class Kind { kStatic, kEdit, kButton, kComboBox, kListView };

  struct ListRow {
    int image = -1;
    std::vector<std::string> texts;  // item text, then sub-items; missing ones read empty
  };
  struct Control {
    Kind kind = Kind::kStatic;
    std::string text;
    bool enabled = true;
    bool visible = true;
    // Combo boxes.
    bool sorted = false;
    std::vector<std::string> items;
    int curSel = -1;
    // List views.
    bool sharesImageLists = false;
    int clientWidth = 0;
    std::vector<std::string> columnHeaders;
    std::vector<int> columnWidths;
    std::vector<ListRow> rows;
    ImageListRef smallImages = 0;
  };
  struct MessageBoxCall {
    std::string text;
    std::string caption;
    unsigned style = 0;
  };
  struct ImageList {
    int cx = 0, cy = 0, initial = 0, grow = 0;
    std::vector<int> bitmaps;
    std::vector<uint32_t> masks;
  };

  // Describes a control as the dialog template creates it.
  Control& AddControl(int id, Kind kind, const std::string& text = std::string());
  // The control, or null when the dialog has none with that id.
  const Control* Find(int id) const;
  const ImageList* FindImageList(ImageListRef list) const;

  // Message boxes shown, in order, and the answers for the next ones (IDOK when empty).
  std::vector<MessageBoxCall> messageBoxes;
  std::deque<int> answers;

  std::string GetText(int id) override;
  void SetText(int id, const std::string& text) override;
  void Enable(int id, bool enable) override;
  bool IsEnabled(int id) override;
  void Show(int id, bool show) override;
  bool IsVisible(int id) override;
  int ClientWidth(int id) override;

  int ComboAddString(int id, const std::string& text) override;
  int ComboDeleteString(int id, int index) override;
  int ComboFindString(int id, int startAfter, const std::string& prefix) override;
  int ComboSetCurSel(int id, int index) override;
  int ComboGetCurSel(int id) override;
  int ComboGetCount(int id) override;
  std::string ComboGetItemText(int id, int index) override;
  void ComboResetContent(int id) override;

  ImageListRef CreateImageList(int cx, int cy, int initial, int grow) override;
  int ImageListAddBitmap(ImageListRef list, int bitmapId, uint32_t maskRgb) override;

  void ListSetSmallImageList(int id, ImageListRef list) override;
  int ListInsertColumn(int id, int column, const std::string& header, int width,
                       int subItem) override;
  int ListInsertItem(int id, int index, const std::string& text, int image) override;
  bool ListSetItemText(int id, int item, int subItem, const std::string& text) override;
  std::string ListGetItemText(int id, int item, int subItem) override;
  bool ListDeleteAllItems(int id) override;
  int ListGetItemCount(int id) override;

  int MessageBox(const std::string& text, const std::string& caption, unsigned style) override;

 private:
  Control* Get(int id, Kind kind);
  Control* GetAny(int id);

  std::map<int, Control> m_controls;
  std::map<ImageListRef, ImageList> m_imageLists;
  ImageListRef m_nextImageList = 0x200;
};

}  // namespace platform
