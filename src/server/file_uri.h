#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace unitcheck::server {

// The absolute path that a file: URI names (file:///p or file://localhost/p), percent-decoded.
// Anything else is refused (nullopt): another scheme or host, a query or fragment, a broken
// percent escape, a control byte or NUL in the path, a "." or ".." segment, a slash escaped
// inside a name (%2F); the editor's text of such a document is then not checked against files,
// and why says so (when given). Raw spaces and raw UTF-8, which some clients send unescaped,
// are taken as they are.
std::optional<std::string> path_from_file_uri(std::string_view uri, std::string* why = nullptr);

// The file: URI of an absolute path: every byte but letters, digits, "-._~" and "/" is
// percent-encoded.
std::string file_uri_from_path(std::string_view path);

}  // namespace unitcheck::server
