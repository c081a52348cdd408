// The page list over a directory enumeration. Only names are judged: "." and "..", folders
// and other files pass through the same extension test, and every entry read is traced, so a
// packager can see why a file did not become a page.
#include "viewer/page_list.h"

#include "image/image_file_type.h"
#include "platform/file_system.h"
#include "platform/trace.h"

namespace {

class FolderEntries final : public DirectoryEntries {
 public:
  bool First(const std::string& pattern, std::string& name) override {
    return m_enumeration.First(pattern, name);
  }
  bool Next(std::string& name) override { return m_enumeration.Next(name); }
  void Close() override { m_enumeration.Close(); }

 private:
  platform::DirectoryEnumeration m_enumeration;
};

void TraceEntry(const std::string& name) {
  platform::Trace("Find file = %s.\n", name.c_str());
}

}  // namespace

std::unique_ptr<DirectoryEntries> MakeFolderEntries() {
  return std::make_unique<FolderEntries>();
}

CPageList::CPageList(std::unique_ptr<DirectoryEntries> entries)
    : m_enumeration(std::move(entries)) {}

CPageList::~CPageList() {
  CloseEnumeration();
}

bool CPageList::StartPageList(const std::string& page_folder, std::string& path) {
  m_strPageFolder = page_folder;
  std::string name;
  m_enumerationOpen = m_enumeration->First(page_folder + "*.*", name);
  for (bool found = m_enumerationOpen; found; found = m_enumeration->Next(name)) {
    TraceEntry(name);
    if (IsPageFile(name)) {
      m_entries.push_back(page_folder + name);
      m_current = m_first = 0;
      path = m_entries.front();
      FetchNextPageFile();
      return true;
    }
  }
  m_entries.emplace_back(kEndOfList);
  m_current = m_first = std::nullopt;
  return false;
}

bool CPageList::FetchNextPageFile() {
  std::string name;
  bool found = false;
  while (m_enumerationOpen && (found = m_enumeration->Next(name))) {
    TraceEntry(name);
    if (IsPageFile(name)) {
      m_entries.push_back(m_strPageFolder + name);
      break;
    }
  }
  if (!found) m_entries.emplace_back(kEndOfList);
  return found;
}

bool CPageList::GetNextPage(std::string& path) {
  if (!m_current || IsEndAfter(*m_current)) return false;
  m_current = *m_current + 1;
  path = m_entries[*m_current];
  FetchNextPageFile();
  return true;
}

bool CPageList::GetPrevPage(std::string& path) {
  if (m_current == m_first) return false;
  m_current = *m_current - 1;
  path = m_entries[*m_current];
  return true;
}

bool CPageList::IsLastPage() const {
  if (!m_current && !m_first) return true;
  return IsEndAfter(*m_current);
}

void CPageList::CloseEnumeration() {
  if (m_enumerationOpen) m_enumeration->Close();
  m_enumerationOpen = false;
}

// The look-ahead keeps an entry after every page; a missing one would also mean the end.
bool CPageList::IsEndAfter(std::size_t position) const {
  return position + 1 >= m_entries.size() || m_entries[position + 1] == kEndOfList;
}
