// Which file the preview's Save writes and as what, from the name and the filter line chosen in
// its dialog.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace report::output {

struct TRpSaveTarget {
    std::filesystem::path fileName;  // the name chosen, with the extension added when it had none
    std::string extension;           // in upper case, without the dot: "RPP", "PDF", ...
};

// `chosen`: the name from the dialog. `line`: the dialog's filter line, from 1: line 1 is the
// report's default save type, line 2 the report file, line k >= 3 export filter k - 3.
// `defaultExtension`: the default save type's extension (".PDF"); `filterExtensions`: the
// registered filters' extensions in order. A name with an extension keeps it, whole, whatever
// the line; a name without one takes the line's.
[[nodiscard]] TRpSaveTarget ResolveSaveName(const std::filesystem::path& chosen, int line,
                                            std::string_view defaultExtension,
                                            const std::vector<std::string>& filterExtensions);

}  // namespace report::output
