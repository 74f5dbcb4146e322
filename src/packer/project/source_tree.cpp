#include "packer/project/source_tree.h"

#include <dirent.h>
#include <fnmatch.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>
#include <utility>

#include <sys/stat.h>

#include "packer/project/project_paths.h"

namespace packer {
namespace {

constexpr const char* kAnyFolders = "**";

std::string Join(const std::string& folder, const std::string& name) {
  return folder == "/" ? "/" + name : folder + "/" + name;
}

std::vector<std::string> SplitParts(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    if (slash > start) parts.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  return parts;
}

std::string Unescape(const std::string& part) {
  std::string out;
  for (std::size_t i = 0; i < part.size(); ++i) {
    if (part[i] == '\\' && i + 1 < part.size()) ++i;
    out += part[i];
  }
  return out;
}

// One name against one part, in the C locale's byte order, a leading dot
// like any other character.
bool MatchName(const std::string& part, const std::string& name) {
  return ::fnmatch(part.c_str(), name.c_str(), 0) == 0;
}

bool MatchPath(const std::vector<std::string>& pattern, std::size_t p,
               const std::vector<std::string>& path, std::size_t s) {
  if (p == pattern.size()) return s == path.size();
  if (pattern[p] == kAnyFolders)
    return MatchPath(pattern, p + 1, path, s) ||
           (s < path.size() && MatchPath(pattern, p, path, s + 1));
  return s < path.size() && MatchName(pattern[p], path[s]) &&
         MatchPath(pattern, p + 1, path, s + 1);
}

struct Entry {
  std::string name;
  bool folder = false, file = false;
  std::pair<dev_t, ino_t> identity;
};

class Walker {
 public:
  Walker(std::vector<std::string> parts, const std::vector<ExcludePattern>& excludes,
         SourceMatch& match)
      : parts_(std::move(parts)), excludes_(excludes), match_(match) {}

  Check Start(const std::string& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
      return std::nullopt;  // matches nothing
    ancestry_.emplace_back(info.st_dev, info.st_ino);
    return Walk(folder, "", 0);
  }

  void Finish() {
    std::sort(match_.files.begin(), match_.files.end(),
              [](const FoundFile& a, const FoundFile& b) { return a.relative < b.relative; });
    match_.files.erase(std::unique(match_.files.begin(), match_.files.end(),
                                   [](const FoundFile& a, const FoundFile& b) {
                                     return a.relative == b.relative;
                                   }),
                       match_.files.end());
    match_.unpackedFolders = unpacked_.size();
    match_.emptyFolders.assign(empty_.begin(), empty_.end());
  }

 private:
  Result<std::vector<Entry>> List(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
      return Problem{"", "\"" + folder + "\" cannot be searched: " + std::strerror(errno)};
    std::vector<Entry> entries;
    errno = 0;
    while (const dirent* item = ::readdir(dir)) {
      std::string name = item->d_name;
      if (name == "." || name == "..") continue;
      Entry entry;
      entry.name = name;
      // Links are followed, as glob(3) follows them; one to nothing is neither.
      struct stat info {};
      if (::stat(Join(folder, name).c_str(), &info) == 0) {
        entry.folder = S_ISDIR(info.st_mode);
        entry.file = S_ISREG(info.st_mode);
        entry.identity = {info.st_dev, info.st_ino};
      }
      entries.push_back(std::move(entry));
    }
    int error = errno;
    ::closedir(dir);
    if (error != 0)
      return Problem{"", "\"" + folder + "\" cannot be searched: " + std::strerror(error)};
    return entries;
  }

  bool Excluded(const std::string& relative, const std::string& name, bool folder) const {
    for (const ExcludePattern& exclude : excludes_) {
      if (exclude.foldersOnly && !folder) continue;
      if (exclude.anchored ? MatchPath(exclude.parts, 0, SplitParts(relative), 0)
                           : MatchName(exclude.parts[0], name))
        return true;
    }
    return false;
  }

  Check Descend(const std::string& folder, const Entry& entry, const std::string& relative,
                std::size_t part) {
    if (std::find(ancestry_.begin(), ancestry_.end(), entry.identity) != ancestry_.end())
      return Problem{
          "", "\"" + Join(folder, entry.name) +
                  "\" is a link to a folder that holds it; vtpack would walk it without end"};
    ancestry_.push_back(entry.identity);
    Check problem = Walk(Join(folder, entry.name), relative + entry.name + "/", part);
    ancestry_.pop_back();
    return problem;
  }

  Check Walk(const std::string& folder, const std::string& relative, std::size_t part) {
    auto listed = List(folder);
    if (!listed.ok()) return listed.problem();
    std::vector<Entry> entries;
    for (Entry& entry : listed.value()) {
      if (!Excluded(relative + entry.name, entry.name, entry.folder))
        entries.push_back(std::move(entry));
    }
    const std::string& pattern = parts_[part];
    if (pattern == kAnyFolders) {
      // No folder at all, or one more of them.
      if (entries.empty() && !relative.empty())
        empty_.insert(relative.substr(0, relative.size() - 1));
      if (auto problem = Walk(folder, relative, part + 1)) return problem;
      for (const Entry& entry : entries) {
        if (!entry.folder) continue;
        if (auto problem = Descend(folder, entry, relative, part)) return problem;
      }
      return std::nullopt;
    }
    const bool last = part + 1 == parts_.size();
    for (const Entry& entry : entries) {
      if (!MatchName(pattern, entry.name)) continue;
      if (last && entry.file) {
        match_.files.push_back({Join(folder, entry.name), relative + entry.name});
      } else if (last && entry.folder) {
        // After a "**" the folder is walked all the same.
        if (part == 0 || parts_[part - 1] != kAnyFolders) unpacked_.insert(relative + entry.name);
      } else if (entry.folder) {
        if (auto problem = Descend(folder, entry, relative, part + 1)) return problem;
      }
    }
    return std::nullopt;
  }

  std::vector<std::string> parts_;
  const std::vector<ExcludePattern>& excludes_;
  SourceMatch& match_;
  std::vector<std::pair<dev_t, ino_t>> ancestry_;
  std::set<std::string> unpacked_, empty_;
};

}  // namespace

Result<ExcludePattern> ParseExcludePattern(const std::string& pattern) {
  ExcludePattern exclude;
  std::string text = pattern;
  if (!text.empty() && text.back() == '/') {
    exclude.foldersOnly = true;
    text.pop_back();
  }
  if (!text.empty() && text.front() == '/') {
    exclude.anchored = true;
    text.erase(0, 1);
  }
  exclude.parts = SplitParts(text);
  if (exclude.parts.empty()) return Problem{"", "has an empty pattern"};
  for (const std::string& part : exclude.parts) {
    if (part == "." || part == "..")
      return Problem{"", "\"" + pattern + "\" has a \"" + part +
                             "\" part; patterns match below the source's folder"};
  }
  if (exclude.parts.size() > 1) exclude.anchored = true;
  return exclude;
}

std::string FixedPart(const std::string& pattern, std::size_t* partsInIt) {
  std::vector<std::string> parts = SplitParts(pattern);
  std::string fixed;
  std::size_t first = 0;
  for (; first < parts.size() && !HasGlobCharacters(parts[first]); ++first)
    fixed += (fixed.empty() ? "" : "/") + Unescape(parts[first]);
  if (partsInIt) *partsInIt = first;
  if (!pattern.empty() && pattern[0] == '/') return "/" + fixed;
  return fixed.empty() ? "." : fixed;
}

Result<SourceMatch> FindSourceFiles(const std::string& pattern,
                                    const std::vector<ExcludePattern>& excludes) {
  std::vector<std::string> parts = SplitParts(pattern);
  std::size_t first = 0;
  std::string fixed = FixedPart(pattern, &first);
  std::vector<std::string> rest(parts.begin() + static_cast<long>(first), parts.end());
  // A final "**" is every file of every folder below.
  if (rest.empty() || rest.back() == kAnyFolders) rest.push_back("*");
  SourceMatch match;
  Walker walker(std::move(rest), excludes, match);
  if (auto problem = walker.Start(fixed)) return *problem;
  walker.Finish();
  return match;
}

}  // namespace packer
