// The page list: the full paths of a page folder's pages in the order the directory
// enumeration yields them, built lazily and kept one entry ahead of the page on display, and
// closed by "EOL" entries once the folder is exhausted. The viewer's navigation moves over it.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The directory enumeration the list reads from (find-first / find-next / find-close).
class DirectoryEntries {
 public:
  virtual ~DirectoryEntries() = default;
  // Starts with `pattern` (a folder followed by "*.*"); true and the first name if any.
  virtual bool First(const std::string& pattern, std::string& name) = 0;
  // The next name; false when there is none or the enumeration failed.
  virtual bool Next(std::string& name) = 0;
  virtual void Close() = 0;
};

// The platform's enumeration of a real folder.
std::unique_ptr<DirectoryEntries> MakeFolderEntries();

inline constexpr const char kEndOfList[] = "EOL";

class CPageList {
 public:
  explicit CPageList(std::unique_ptr<DirectoryEntries> entries = MakeFolderEntries());
  ~CPageList();
  CPageList(const CPageList&) = delete;
  CPageList& operator=(const CPageList&) = delete;

  // Once: opens the folder's enumeration and finds the first page. True and its path when a
  // page exists; otherwise the list is "EOL" alone and no page is current.
  bool StartPageList(const std::string& page_folder, std::string& path);
  // Moves to the next page, unless the next entry is "EOL", and reads one page further ahead.
  bool GetNextPage(std::string& path);
  // Moves back one page, unless the first page is current.
  bool GetPrevPage(std::string& path);
  // True when no page exists or the entry after the current one is "EOL".
  bool IsLastPage() const;
  // True on the first page, and when no page exists.
  bool IsOnFirstPage() const { return m_current == m_first; }
  // Closes the enumeration; the viewer does so when its window is destroyed.
  void CloseEnumeration();

  const std::vector<std::string>& Entries() const { return m_entries; }

 private:
  bool FetchNextPageFile();
  bool IsEndAfter(std::size_t position) const;

  std::unique_ptr<DirectoryEntries> m_enumeration;
  bool m_enumerationOpen = false;
  std::string m_strPageFolder;
  std::vector<std::string> m_entries;
  std::optional<std::size_t> m_current;
  std::optional<std::size_t> m_first;
};
