#pragma once

#include "platform/graphics/Image.h"

#include <string>
#include <vector>

typedef struct _ipp_s ipp_t;

namespace platform {

class PrinterConnection;
struct PrinterAttributes;

// One print sent to paper: the sheet is laid out for the printer's photo media, drawn in a
// format it takes and handed over as an IPP job. Blocking; run it on a worker thread.
class PaperJob {
public:
    struct Options {
        // A CUPS queue name or an ipp:// / ipps:// address.
        std::string printer;
        std::string jobName = "Print";
        // print-quality high where the printer has it, else its normal.
        bool highQuality = true;
    };
    struct Sent {
        // The printer's job id; 0 when the job was not handed over.
        int jobId = 0;
        // Why not, as a short sentence, when not.
        std::string error;
        std::string media;
        std::string format;
        // Something the printer said about itself on the way (out of paper, offline...).
        std::vector<std::string> printerReasons;
    };
    static Sent send(const Image& print, const Options& options);

    // Where a job handed over stands.
    struct Status {
        // job-state: 3 pending, 4 held, 5 processing, 6 stopped, 7 canceled, 8 aborted,
        // 9 completed; 0 when the printer could not be asked.
        int state = 0;
        std::vector<std::string> reasons;
        std::string error;
        bool isFinal() const { return state >= 7; }
    };
    static Status status(const std::string& printer, int jobId);

    // What a printer's or a job's reasons mean to the person at the camera, or empty when
    // none of them stops the print ("none", reports, warnings).
    static std::string reasonText(const std::vector<std::string>& reasons);

private:
    static ipp_t* printJob(PrinterConnection& connection, const PrinterAttributes& printer,
                           const Sent& sent, const std::string& media, bool colour,
                           const Options& options);
};

} // namespace platform
