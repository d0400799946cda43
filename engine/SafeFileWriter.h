#pragma once
#include <functional>
#include <iosfwd>
#include <string>

// Replaces a file only with content that was completely written, flushed to the disk and passed a check,
// so a failure at any point (a power loss included) keeps the old file.

// Produces the content through write, writes it into "<path>.tmp" and flushes that to the disk, runs
// check on the bytes read back (check throws to refuse them), renames the temporary file over path and
// flushes the folder. A read-only file at path is refused. Returns an empty text on success, else the
// reason (the system's own for a failed write, such as a full disk); the temporary file is gone either
// way.
std::string WriteFileChecked(const std::string& path, const std::function<void(std::ostream&)>& write,
                             const std::function<void(const std::string&)>& check);
