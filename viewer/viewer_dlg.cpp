// The viewer dialog: initialisation (icon, title, first page), page loading and the window
// geometry that follows each page's size, the Previous / Next / Finish navigation, and
// painting the page (or, while minimised, the icon). Only a page of a new size moves the
// window; a failed load keeps window and picture area as they were.
#include "viewer/viewer_dlg.h"

#include "platform/profile.h"
#include "platform/trace.h"
#include "resources/resources.h"
#include "viewer/viewer_layout.h"

namespace {

using platform::ui::Control;
using platform::ui::Rect;
using platform::ui::Size;

const platform::ui::DialogTemplate& ViewerTemplate() {
  static const platform::ui::DialogTemplate kMissing{};
  const platform::ui::DialogTemplate* tmpl = resources::LoadDialog(resources::kViewerDialog);
  return tmpl ? *tmpl : kMissing;
}

void TraceRect(const Rect& r) {
  platform::Trace("Rect: left = %d, top = %d, right = %d, bottom = %d.\n", r.left, r.top, r.right,
                  r.bottom);
}

Size SizeOf(const Control* control) {
  if (!control) return {};
  const Rect r = control->GetRect();
  return {r.Width(), r.Height()};
}

void MoveIfPresent(Control* control, const Rect& rect, bool repaint) {
  if (control) control->MoveWindow(rect, repaint);
}

}  // namespace

CViewerDlg::CViewerDlg(std::string page_folder, std::string ini_file,
                       std::unique_ptr<DirectoryEntries> entries)
    : Dialog(ViewerTemplate()),
      m_hIcon(resources::LoadIcon(resources::kAppIcon)),
      m_strPageFolder(std::move(page_folder)),
      m_strIniFile(std::move(ini_file)),
      m_pageList(std::move(entries)) {}

CViewerDlg::~CViewerDlg() = default;

bool CViewerDlg::OnInitDialog() {
  SetIcon(m_hIcon, true);
  SetIcon(m_hIcon, false);
  TraceWindowRect();
  SetTitle();
  ShowFirstPage();
  return true;
}

void CViewerDlg::TraceWindowRect() {
  const Rect window = GetWindowRect();
  TraceRect(window);
  TraceRect(MapDialogRect(window));
}

void CViewerDlg::SetTitle() {
  const std::string name =
      platform::GetPrivateProfileString("Product Name", "Name", "VORN", m_strIniFile);
  SetWindowText(viewer::ReplaceProductName(GetWindowText(), name));
}

void CViewerDlg::ShowFirstPage() {
  std::string path;
  if (m_pageList.StartPageList(m_strPageFolder, path)) LoadPage(path);
  if (m_pageList.IsLastPage()) SetNextLabel(resources::kStringFinish);
  UpdatePrevButton(false);
}

void CViewerDlg::LoadPage(const std::string& path) {
  BitmapInfoHeader header;
  if (!m_image.Load(path, header)) return;
  platform::Trace("File %s: width = %d, height = %d.\n", path.c_str(), header.biWidth,
                  header.biHeight);
  RelayoutWnd(header.biWidth, header.biHeight);
  InvalidatePicture();
}

void CViewerDlg::InvalidatePicture() {
  if (const Control* frame = GetDlgItem(kIdPictureFrame))
    InvalidateRect(frame->GetClientRect(), false);
}

void CViewerDlg::RelayoutWnd(int width, int height) {
  if (width == m_nPageWidth && height == m_nPageHeight) return;
  InvalidateRect({0, 0, m_nPageWidth, m_nPageHeight}, true);
  m_nPageWidth = width;
  m_nPageHeight = height;
  const Rect window = GetWindowRect();
  const int frame_width = window.Width() - GetClientRect().Width();
  const Rect r = viewer::PageWindowRect(window, frame_width, width, height);
  platform::Trace("RelayoutWnd: (%d, %d, %d, %d)\n", r.left, r.top, r.right, r.bottom);
  MoveWindow(r, true);
  Reposition();
}

// Until a page has been shown the template's positions stay: a 0 x 0 layout would put the
// buttons left of the window.
void CViewerDlg::OnSize(unsigned type, int cx, int cy) {
  Dialog::OnSize(type, cx, cy);
  platform::Trace("OnSize: (%d, %d)\n", cx, cy);
  if (m_nPageWidth != 0 || m_nPageHeight != 0) LayoutControls(m_nPageWidth, m_nPageHeight);
}

void CViewerDlg::LayoutControls(int width, int height) {
  Control* exit = GetDlgItem(kIdExitButton);
  Control* next = GetDlgItem(kIdNextButton);
  Control* previous = GetDlgItem(kIdPrevButton);
  const viewer::ControlLayout layout =
      viewer::LayoutForPage(width, height, {SizeOf(exit), SizeOf(next), SizeOf(previous)});
  MoveIfPresent(GetDlgItem(kIdPictureFrame), layout.picture, false);
  MoveIfPresent(GetDlgItem(kIdEtchedLine), layout.etched_line, true);
  MoveIfPresent(exit, layout.exit, true);
  MoveIfPresent(next, layout.next, true);
  MoveIfPresent(previous, layout.previous, true);
}

void CViewerDlg::OnButtonClicked(int id) {
  if (id == kIdNextButton) OnNextButton();
  if (id == kIdPrevButton) OnPrevButton();
}

void CViewerDlg::OnNextButton() {
  if (NextLabelIsFinish()) {
    EndDialog(kEndFinish);
    return;
  }
  std::string path;
  if (m_pageList.GetNextPage(path)) LoadPage(path);
  UpdatePrevButton(true);
  if (m_pageList.IsLastPage()) {
    platform::Trace("Reach last file!\n");
    SetNextLabel(resources::kStringFinish);
  }
}

void CViewerDlg::OnPrevButton() {
  if (NextLabelIsFinish()) SetNextLabel(resources::kStringNext);
  std::string path;
  if (m_pageList.GetPrevPage(path)) LoadPage(path);
  UpdatePrevButton(false);
}

void CViewerDlg::UpdatePrevButton(bool after_forward_move) {
  Control* previous = GetDlgItem(kIdPrevButton);
  if (!previous) return;
  const bool on_first = m_pageList.IsOnFirstPage();
  if (after_forward_move && !on_first) {
    previous->EnableWindow(true);
    previous->ShowWindow(true);
  } else if (!after_forward_move && on_first) {
    previous->EnableWindow(false);
    previous->ShowWindow(false);
    if (Control* next = GetDlgItem(kIdNextButton)) next->SetFocus();
  }
}

// The label is the only record of the finish state, as the user sees it.
bool CViewerDlg::NextLabelIsFinish() const {
  const Control* next = GetDlgItem(kIdNextButton);
  return next && next->GetWindowText() == resources::LoadString(resources::kStringFinish);
}

void CViewerDlg::SetNextLabel(int string_id) {
  if (Control* next = GetDlgItem(kIdNextButton))
    next->SetWindowText(resources::LoadString(string_id));
}

void CViewerDlg::OnPaint() {
  if (IsIconic()) {
    PaintIcon();
    return;
  }
  if (Control* frame = GetDlgItem(kIdPictureFrame)) m_image.Draw(*frame);
}

// The icon centred in the client area; the + 1 puts an odd leftover pixel before the icon.
void CViewerDlg::PaintIcon() {
  EraseIconBackground();
  if (!m_hIcon) return;
  const int icon_size = platform::ui::kSystemIconSize;
  const Rect client = GetClientRect();
  DrawIcon((client.Width() - icon_size + 1) / 2, (client.Height() - icon_size + 1) / 2, *m_hIcon);
}

void CViewerDlg::OnDestroy() {
  m_pageList.CloseEnumeration();
  Dialog::OnDestroy();
}
