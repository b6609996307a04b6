#include "server/file_uri.h"

#include <algorithm>

namespace unitcheck::server {
namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool starts_with_nocase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [](char p, char t) {
           return p == (t >= 'A' && t <= 'Z' ? static_cast<char>(t - 'A' + 'a') : t);
         });
}

bool is_unreserved(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

// Decodes percent escapes; nullopt for a broken one or a control byte, raw or decoded.
std::optional<std::string> percent_decode(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (std::size_t at = 0; at < text.size(); ++at) {
    char c = text[at];
    if (c == '%') {
      if (at + 2 >= text.size()) return std::nullopt;
      const int high = hex_value(text[at + 1]);
      const int low = hex_value(text[at + 2]);
      if (high < 0 || low < 0) return std::nullopt;
      c = static_cast<char>(high * 16 + low);
      at += 2;
    }
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return std::nullopt;
    decoded.push_back(c);
  }
  return decoded;
}

bool has_dot_segment(std::string_view path) {
  for (std::size_t begin = 0; begin <= path.size();) {
    const std::size_t end = std::min(path.find('/', begin), path.size());
    const std::string_view segment = path.substr(begin, end - begin);
    if (segment == "." || segment == "..") return true;
    begin = end + 1;
  }
  return false;
}

}  // namespace

std::optional<std::string> path_from_file_uri(std::string_view uri, std::string* why) {
  const auto refuse = [&](const char* reason) -> std::optional<std::string> {
    if (why != nullptr) *why = reason;
    return std::nullopt;
  };
  constexpr std::string_view kScheme = "file://";
  if (!starts_with_nocase(uri, kScheme)) return refuse("not a file: URI");
  uri.remove_prefix(kScheme.size());
  if (uri.find_first_of("?#") != std::string_view::npos)
    return refuse("a file: URI with a query or a fragment");
  const std::size_t slash = uri.find('/');
  if (slash == std::string_view::npos) return refuse("a file: URI without a path");
  const std::string_view host = uri.substr(0, slash);
  if ((!host.empty() && !starts_with_nocase(host, "localhost")) ||
      host.size() > std::string_view("localhost").size())
    return refuse("a file on another host");
  const std::string_view encoded = uri.substr(slash);
  // A slash escaped inside a name would name another file than the client's.
  for (std::size_t at = encoded.find('%'); at != std::string_view::npos;
       at = encoded.find('%', at + 1)) {
    if (encoded.size() - at >= 3 && encoded[at + 1] == '2' &&
        (encoded[at + 2] == 'F' || encoded[at + 2] == 'f'))
      return refuse("an escaped slash (%2F) inside a name");
  }
  std::optional<std::string> path = percent_decode(encoded);
  if (!path) return refuse("a broken percent escape or a control character in the path");
  if (has_dot_segment(*path)) return refuse("a \".\" or \"..\" segment in the path");
  return path;
}

std::string file_uri_from_path(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri = "file://";
  for (const char c : path) {
    if (is_unreserved(c) || c == '/') {
      uri.push_back(c);
      continue;
    }
    const auto byte = static_cast<unsigned char>(c);
    uri.push_back('%');
    uri.push_back(kHex[byte >> 4]);
    uri.push_back(kHex[byte & 0xF]);
  }
  return uri;
}

}  // namespace unitcheck::server
