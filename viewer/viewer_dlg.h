// CViewerDlg: the program's main window. A modal dialog that shows one page above an etched
// line and the buttons "< Previous", "Next >" (or "Finish" on the last page) and "Exit",
// sizes itself to each page (never narrower than the buttons, never beyond the work area: a
// larger page is shown shrunk), and pages through the page folder's list by button or key.
#pragma once

#include <memory>
#include <string>

#include "image/dib_image.h"
#include "platform/ui/dialog.h"
#include "viewer/page_list.h"
#include "viewer/viewer_layout.h"

// Control ids of the viewer dialog.
inline constexpr int kIdExitButton = platform::ui::kIdCancel;
inline constexpr int kIdPrevButton = 3;
inline constexpr int kIdNextButton = 4;
inline constexpr int kIdPictureFrame = 1000;
inline constexpr int kIdEtchedLine = 1002;

// End codes: Finish ends with 1; "Exit", Escape and the close box with 2.
inline constexpr int kEndFinish = platform::ui::kIdOk;

class CViewerDlg : public platform::ui::Dialog {
 public:
  // `page_folder` ends in "/"; `ini_file` names the configuration file with the product name.
  CViewerDlg(std::string page_folder, std::string ini_file,
             std::unique_ptr<DirectoryEntries> entries = MakeFolderEntries());
  ~CViewerDlg() override;

  // The page on display (tests and benchmarks look at what is drawn from it).
  const CDibImage& Image() const { return m_image; }

 protected:
  bool OnInitDialog() override;
  void OnButtonClicked(int id) override;
  bool OnKeyDown(platform::ui::Key key) override;
  void OnSize(unsigned type, int cx, int cy) override;
  void OnPaint() override;
  void OnDestroy() override;

 private:
  void TraceWindowRect();
  void SetTitle();
  void ShowFirstPage();
  void LoadPage(const std::string& path);
  void ShowCannotShow(const std::string& name);
  void InvalidatePicture();
  platform::ui::Rect PictureArea() const;
  int FrameWidth() const;
  viewer::ButtonSizes CurrentButtonSizes() const;
  void RelayoutWnd(int width, int height, bool scaled);
  void LayoutControls(int width, int height);
  void OnNextButton();
  void OnPrevButton();
  void UpdatePrevButton(bool after_forward_move);
  bool NextLabelIsFinish() const;
  void SetNextLabel(int string_id);
  void PaintIcon();
  void PaintCannotShow();

  const platform::ui::Icon* m_hIcon;
  int m_nPageWidth = 0;
  int m_nPageHeight = 0;
  bool m_bPageScaled = false;   // the page on display was shrunk to fit the work area
  std::string m_strCannotShow;  // what the picture area names when no page can be shown
  std::string m_strPageFolder;
  std::string m_strIniFile;
  CDibImage m_image;
  CPageList m_pageList;
};
