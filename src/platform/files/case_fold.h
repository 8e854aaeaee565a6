#pragma once
// Names compared without regard to case, as on the platform the program was
// written for: the settings store's key and value names, and file names (the
// program writes "Resim001.jpg" and later asks for "Resim001.JPG"; on Linux
// both may even exist side by side). Folding covers ASCII and the simple
// one-to-one pairs of Latin-1, Latin Extended-A (the Turkish letters among
// them), basic Greek and Cyrillic; bytes that are not valid UTF-8 compare as
// they are. Dotted capital I and dotless small i have no simple folding and
// stay apart.

#include <optional>
#include <string>
#include <string_view>

namespace files {

std::string foldCase(std::string_view utf8);
bool equalsIgnoringCase(std::string_view a, std::string_view b);

// `raw` folded, without allocating when it is already in folded form (the
// usual case: plain lower-case ASCII); otherwise folded into `scratch`.
std::string_view foldInto(std::string_view raw, std::string& scratch);

// The existing regular file `path` names: the exact name when it exists,
// otherwise the one file in the same folder whose name equals it ignoring
// case (the first in name order should several). Folders, missing files and
// any failure of the lookup give nothing.
std::optional<std::string> findFileIgnoringCase(const std::string& path);

}  // namespace files
