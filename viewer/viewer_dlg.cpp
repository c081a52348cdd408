// The viewer dialog: initialisation (icon, title, first page), page loading and the window
// geometry that follows each page's size, the Previous / Next / Finish navigation, and
// painting the page (or, while minimised, the icon). Only a page of a new size moves the
// window; a page that cannot be shown keeps the window and says so in the picture area.
#include "viewer/viewer_dlg.h"

#include "platform/file_system.h"
#include "platform/profile.h"
#include "platform/trace.h"
#include "resources/resources.h"

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

std::string FileNameOf(const std::string& path) {
  return path.substr(path.rfind('/') + 1);
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
  // The first page gave the focus to "Next >", so that Enter turns the page; the dialog
  // manager's choice would be "Exit", the first tab stop.
  return GetFocusId() == 0;
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
  if (m_pageList.StartPageList(m_strPageFolder, path))
    LoadPage(path);
  else if (!platform::FileExists(m_strPageFolder))
    ShowCannotShow(m_strPageFolder);
  if (m_pageList.IsLastPage()) SetNextLabel(resources::kStringFinish);
  UpdatePrevButton(false);
}

// A page larger than the work area is decoded at a reduced size that still covers the
// size it is shown at, and the painting shrinks it the rest of the way.
void CViewerDlg::LoadPage(const std::string& path) {
  BitmapInfoHeader header;
  const auto fit_of = [this](int width, int height) {
    return viewer::FitPageToWorkArea(width, height, GetWorkArea(), FrameWidth());
  };
  const ShownSize shown = [&fit_of](int width, int height) {
    const viewer::PageFit fit = fit_of(width, height);
    return PageExtent{fit.width, fit.height};
  };
  if (!m_image.Load(path, header, shown)) {
    ShowCannotShow(FileNameOf(path));
    return;
  }
  if (!m_strCannotShow.empty()) InvalidateRect(PictureArea(), true);
  m_strCannotShow.clear();
  const PageExtent page = m_image.PageSize();
  platform::Trace("File %s: width = %d, height = %d.\n", path.c_str(), page.width, page.height);
  const viewer::PageFit fit = fit_of(page.width, page.height);
  if (fit.scaled)
    platform::Trace("File %s: scaled to %d%% (width = %d, height = %d) to fit the screen.\n",
                    path.c_str(), fit.percent, fit.width, fit.height);
  RelayoutWnd(fit.width, fit.height, fit.scaled);
  InvalidatePicture();
}

// The window keeps its size; the picture area says that the page (or the page folder) named
// cannot be shown.
void CViewerDlg::ShowCannotShow(const std::string& name) {
  m_strCannotShow = name;
  InvalidateRect(PictureArea(), true);
}

void CViewerDlg::InvalidatePicture() {
  if (const Control* frame = GetDlgItem(kIdPictureFrame)) InvalidateRect(frame->GetRect(), false);
}

// The client area's full width above the etched line: the picture frame's band.
Rect CViewerDlg::PictureArea() const {
  const Control* frame = GetDlgItem(kIdPictureFrame);
  return {0, 0, GetClientRect().Width(), frame ? frame->GetRect().bottom : 0};
}

int CViewerDlg::FrameWidth() const {
  return GetWindowRect().Width() - GetClientRect().Width();
}

viewer::ButtonSizes CViewerDlg::CurrentButtonSizes() const {
  return {SizeOf(GetDlgItem(kIdExitButton)), SizeOf(GetDlgItem(kIdNextButton)),
          SizeOf(GetDlgItem(kIdPrevButton))};
}

// A shrunk page, and the first page of normal size after one, are centred in the work area,
// as the first page is; other pages keep the window's top-left corner.
void CViewerDlg::RelayoutWnd(int width, int height, bool scaled) {
  if (width == m_nPageWidth && height == m_nPageHeight) return;
  InvalidateRect({0, 0, GetClientRect().Width(), m_nPageHeight}, true);
  m_nPageWidth = width;
  m_nPageHeight = height;
  const bool recentre = scaled || m_bPageScaled;
  m_bPageScaled = scaled;
  const int client_width = viewer::ClientWidthForPage(width, CurrentButtonSizes());
  const Rect r = viewer::PageWindowRect(GetWindowRect(), FrameWidth(), client_width, height);
  platform::Trace("RelayoutWnd: (%d, %d, %d, %d)\n", r.left, r.top, r.right, r.bottom);
  MoveWindow(r, true);
  Reposition();
  if (recentre) CenterWindow();
}

// Until a page has been shown the template's positions stay: a 0 x 0 layout would put the
// buttons left of the window.
void CViewerDlg::OnSize(unsigned type, int cx, int cy) {
  Dialog::OnSize(type, cx, cy);
  platform::Trace("OnSize: (%d, %d)\n", cx, cy);
  if (m_nPageWidth != 0 || m_nPageHeight != 0) LayoutControls(m_nPageWidth, m_nPageHeight);
}

void CViewerDlg::LayoutControls(int width, int height) {
  const viewer::ControlLayout layout = viewer::LayoutForPage(width, height, CurrentButtonSizes());
  MoveIfPresent(GetDlgItem(kIdPictureFrame), layout.picture, false);
  MoveIfPresent(GetDlgItem(kIdEtchedLine), layout.etched_line, true);
  MoveIfPresent(GetDlgItem(kIdExitButton), layout.exit, true);
  MoveIfPresent(GetDlgItem(kIdNextButton), layout.next, true);
  MoveIfPresent(GetDlgItem(kIdPrevButton), layout.previous, true);
}

void CViewerDlg::OnButtonClicked(int id) {
  if (id == kIdNextButton) OnNextButton();
  if (id == kIdPrevButton) OnPrevButton();
}

// Right and Page Down act as "Next >", Left and Page Up as "< Previous" while it is shown;
// the focus stays where it is.
bool CViewerDlg::OnKeyDown(platform::ui::Key key) {
  using platform::ui::Key;
  const bool forward = key == Key::kRight || key == Key::kPageDown;
  const bool back = key == Key::kLeft || key == Key::kPageUp;
  if (!forward && !back) return false;
  const Control* button = GetDlgItem(forward ? kIdNextButton : kIdPrevButton);
  if (button && button->IsWindowVisible() && button->IsWindowEnabled())
    OnButtonClicked(button->id());
  return true;
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
  if (!m_strCannotShow.empty()) PaintCannotShow();
}

void CViewerDlg::PaintCannotShow() {
  DrawText(PictureArea(),
           resources::LoadString(resources::kStringCannotShowPage) + "\n" + m_strCannotShow);
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
