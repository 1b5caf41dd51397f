#pragma once

#include <ostream>
#include <string>

// `morvane printers`: the printers CUPS knows (its queues, and IPP Everywhere printers it
// found on the network), or the one printer given, each with the paper sizes it offers and
// the one photo prints go on.
class PrintersCommand {
public:
    // 0 when a printer was listed or CUPS simply knows none, 1 when nothing could be asked.
    static int run(const std::string& printer, std::ostream& out, std::ostream& err);
};
