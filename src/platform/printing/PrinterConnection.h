#pragma once

#include <memory>
#include <string>

typedef struct _http_s http_t;
typedef struct _ipp_s ipp_t;

namespace platform {

// One connection to a printer, by a CUPS queue name (also a printer CUPS found on the network)
// or by its own address (ipp://host:port/path, ipps://...). Blocking; use it on a worker
// thread. Every wait on the network is bounded, so an unreachable printer ends in an error,
// never in a hang.
class PrinterConnection {
public:
    // Real seconds a connection or one answer may take.
    static constexpr double kTimeoutSeconds = 8;

    ~PrinterConnection();
    PrinterConnection(const PrinterConnection&) = delete;
    PrinterConnection& operator=(const PrinterConnection&) = delete;

    // Null with a sentence in `error` when the printer cannot be reached.
    static std::unique_ptr<PrinterConnection> open(const std::string& printer, std::string& error);
    // Whether the text is a printer's address rather than a queue name.
    static bool isAddress(const std::string& printer);

    // A request to the printer, with printer-uri and requesting-user-name already in it.
    ipp_t* newRequest(int operation) const;
    // Sends `request` (taken) and returns the answer (the caller frees it with ippDelete), or
    // null with the reason in `error`. A document, when given, follows the request.
    ipp_t* send(ipp_t* request, std::string& error, const std::string& document = {});

    const std::string& printerUri() const { return printerUri_; }
    // Whether the last answer was the printer saying it is busy with another job.
    bool wasBusy() const { return busy_; }

private:
    PrinterConnection() = default;
    http_t* http_ = nullptr;
    std::string resource_;
    std::string printerUri_;
    bool busy_ = false;
};

} // namespace platform
