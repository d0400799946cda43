#pragma once
#include <functional>
#include <iosfwd>
#include <string>

// Replaces a file only with content that was completely written and passed a check, so a failure at any
// point keeps the old file.

// Writes through write into "<path>.tmp", closes it, runs check on the bytes read back (check throws to
// refuse them), then renames the temporary file over path. Returns an empty text on success, else the
// reason; the temporary file is gone either way.
std::string WriteFileChecked(const std::string& path, const std::function<void(std::ostream&)>& write,
                             const std::function<void(const std::string&)>& check);
