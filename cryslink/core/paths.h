#pragma once
// Path helpers. Both "/" and "\" separate directories; a join keeps the
// separator style of the directory it extends.
#include <string>

struct PathParts {
    std::string drive;      // "C:" or empty
    std::string directory;  // up to and including the last separator
    std::string base;       // file name without extension
    std::string extension;  // from the last "." of the file name, dot included
};

bool IsPathSeparator(char c);
PathParts SplitPath(const std::string& path);

// The name alone for an empty directory; directory + name when the directory
// ends with a separator; otherwise directory, one separator, name. The
// separator is a backslash when the directory's last separator is one, else "/".
std::string JoinPath(const std::string& directory, const std::string& name);

// Replaces the extension of `path` in place (one leading "." of `extension`
// is skipped) and returns it: run\a.glp with cif gives run\a.cif.
std::string& ChangeFileExtension(std::string& path, const std::string& extension);

// True when both names lead to one existing file (or are the same text), so
// that writing the second would overwrite the first.
bool IsSameFile(const std::string& a, const std::string& b);

// Deletes every space, tab, carriage return and line feed in place.
std::string& RemoveWhitespace(std::string& text);

// The directory part of `path` without its trailing separator ("" when none).
std::string DirectoryWithoutSeparator(const std::string& path);

// A name written with "\" as separator, as on Windows ("..\w5\rutile.cif"):
// when nothing has the name as written but, with every "\" read as "/", it
// names an existing file or a new one in an existing directory, that name;
// otherwise the name as written.
std::string ResolveBackslashPath(const std::string& name);

// Directory of the running executable, from /proc/self/exe; the directory of
// argv0 when that cannot be read.
std::string ExecutableDirectory(const std::string& argv0);
