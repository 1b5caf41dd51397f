#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

// The prints of a batch sent to a paper printer, one job each, after they are all written:
// the files are the record, paper is the extra.
class PaperBatch {
public:
    // A line on `out` for each job handed over, a line on `err` for each print that could not
    // be; after a printer that cannot be reached at all, the rest are not tried. True when
    // every print was handed over.
    static bool send(const std::vector<std::filesystem::path>& prints, const std::string& printer,
                     std::ostream& out, std::ostream& err);
};
