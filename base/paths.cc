#include "base/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace rh {

std::string JoinPath(std::string_view dir, std::string_view name) {
  std::string path(dir);
  path += '/';
  path += name;
  return path;
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr)
    return pw->pw_dir;
  return "/";
}

std::string WithForwardSlashes(std::string_view path) {
  std::string out(path);
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

static char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  if (a == b) return true;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

std::string ResolveIgnoringCase(Env* env, std::string_view dir,
                                std::string_view name) {
  std::string exact = JoinPath(dir, name);
  if (env->Exists(exact)) return exact;
  auto names = env->ListDirectory(std::string(dir));
  if (!names.ok()) return exact;
  std::string best;
  bool found = false;
  for (const std::string& entry : *names) {
    if (EqualsIgnoreAsciiCase(entry, name) && (!found || entry < best)) {
      best = entry;
      found = true;
    }
  }
  return found ? JoinPath(dir, best) : exact;
}

std::string_view DirName(std::string_view path) {
  size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string_view()
                                         : path.substr(0, slash + 1);
}

std::string_view BaseName(std::string_view path) {
  size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string WithDefaultExtension(std::string_view name, std::string_view extension) {
  std::string with(name);
  if (BaseName(name).find('.') == std::string_view::npos) with += extension;
  return with;
}


Result<std::string> FollowLinks(Env* env, const std::string& path) {
  std::string current = path;
  for (int links = 0; links < 40; ++links) {
    auto text = env->ReadLink(current);
    if (!text.ok()) {
      const int err = text.status().sys_error();
      if (err == EINVAL || err == ENOENT) return current;  // no link there
      return text.status();
    }
    if (text->empty()) return IoError(ENOENT);
    current = (*text)[0] == '/' ? *text : std::string(DirName(current)) + *text;
  }
  return IoError(ELOOP);
}

}  // namespace rh
