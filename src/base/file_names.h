// Rules for pieces of path texts, shared by the job, the import and output
// naming. Both "\" and "/" count as folder separators here.
#pragma once

#include <string>
#include <string_view>

namespace quorbix {

// The extension: the text after the last "." found scanning from the end.
// A separator or blank met first means none; a "." that is the first
// character or follows a separator gives none; the extension ends before a
// double quote. Not lower-cased.
std::string extensionOf(std::string_view path);

// The part after the last separator (the whole text when there is none).
std::string fileNamePart(std::string_view path);

// Everything up to and including the last separator ("" when none).
std::string folderPart(std::string_view path);

// The name without its extension and the dot before it (by extensionOf);
// the name itself when it has no extension.
std::string nameWithoutExtension(std::string_view name);

}  // namespace quorbix
