// A directory enumeration that yields a given list of names in the given order, and can fail
// at the start or after a number of entries, for the page list's tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "viewer/page_list.h"

struct FakeEntriesLog {
  std::string pattern;
  int next_calls = 0;
  int close_calls = 0;
};

class FakeEntries final : public DirectoryEntries {
 public:
  // `fail_after`: entries yielded before the enumeration breaks off (-1: never).
  FakeEntries(std::vector<std::string> names, FakeEntriesLog& log, int fail_after = -1)
      : m_names(std::move(names)), m_log(log), m_failAfter(fail_after) {}

  bool First(const std::string& pattern, std::string& name) override {
    m_log.pattern = pattern;
    m_next = 0;
    return Yield(name);
  }
  bool Next(std::string& name) override {
    ++m_log.next_calls;
    return Yield(name);
  }
  void Close() override { ++m_log.close_calls; }

 private:
  bool Yield(std::string& name) {
    if (m_next >= m_names.size() || static_cast<int>(m_next) == m_failAfter) return false;
    name = m_names[m_next++];
    return true;
  }

  std::vector<std::string> m_names;
  FakeEntriesLog& m_log;
  int m_failAfter;
  std::size_t m_next = 0;
};
