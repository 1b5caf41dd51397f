#include "platform/printing/PrinterConnection.h"

#include <cups/cups.h>

#include <cstring>
#include <pwd.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr int kTimeoutMilliseconds = static_cast<int>(PrinterConnection::kTimeoutSeconds * 1000);

// CUPS calls this when an answer is late: giving up at once turns a silent printer into an
// error instead of an endless wait.
int giveUp(http_t*, void*) {
    return 0;
}

// How long a search of the network for a printer CUPS has no queue for may take.
constexpr int kSearchMilliseconds = 2000;

struct Search {
    std::string name;
    cups_dest_t* found = nullptr;
};

int matchName(void* context, unsigned flags, cups_dest_t* dest) {
    auto& search = *static_cast<Search*>(context);
    if ((flags & CUPS_DEST_FLAGS_REMOVED) || search.name != dest->name)
        return 1;
    cupsCopyDest(dest, 0, &search.found);
    return 0;
}

// The printer's own address once connected to it: what a network printer found by name
// expects to be called in a request.
std::string addressOf(http_t* http, const char* resource) {
    char uri[1024];
    char host[256];
    httpGetHostname(http, host, sizeof host);
    httpAssembleURI(HTTP_URI_CODING_ALL, uri, sizeof uri, httpIsEncrypted(http) ? "ipps" : "ipp",
                    nullptr, host, httpAddrPort(httpGetAddress(http)), resource);
    return uri;
}

std::string userName() {
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_name)
        return entry->pw_name;
    return "morvane";
}

} // namespace

PrinterConnection::~PrinterConnection() {
    if (http_)
        httpClose(http_);
}

bool PrinterConnection::isAddress(const std::string& printer) {
    return printer.rfind("ipp://", 0) == 0 || printer.rfind("ipps://", 0) == 0;
}

std::unique_ptr<PrinterConnection> PrinterConnection::open(const std::string& printer,
                                                           std::string& error) {
    std::unique_ptr<PrinterConnection> connection(new PrinterConnection);
    if (isAddress(printer)) {
        char scheme[32], user[256], host[256], resource[1024];
        int port = 0;
        if (httpSeparateURI(HTTP_URI_CODING_ALL, printer.c_str(), scheme, sizeof scheme, user,
                            sizeof user, host, sizeof host, &port, resource,
                            sizeof resource) < HTTP_URI_STATUS_OK ||
            !*host) {
            error = "\"" + printer + "\" is not a printer address (ipp://host:port/path)";
            return nullptr;
        }
        const bool secure = std::strcmp(scheme, "ipps") == 0;
        connection->http_ =
            httpConnect2(host, port, nullptr, AF_UNSPEC,
                         secure ? HTTP_ENCRYPTION_ALWAYS : HTTP_ENCRYPTION_IF_REQUESTED, 1,
                         kTimeoutMilliseconds, nullptr);
        if (!connection->http_) {
            error = "cannot reach " + printer + ": " + cupsLastErrorString();
            return nullptr;
        }
        connection->resource_ = resource;
        connection->printerUri_ = printer;
    } else {
        char resource[1024] = "";
        // A queue of the local CUPS first; else a printer on the network CUPS can see, reached
        // directly, as no queue stands between.
        if (cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, printer.c_str(), nullptr)) {
            connection->http_ =
                cupsConnectDest(dest, CUPS_DEST_FLAGS_NONE, kTimeoutMilliseconds, nullptr, resource,
                                sizeof resource, nullptr, nullptr);
            const char* uri =
                cupsGetOption("printer-uri-supported", dest->num_options, dest->options);
            connection->printerUri_ =
                uri ? uri : "ipp://localhost/printers/" + std::string(dest->name);
            cupsFreeDests(1, dest);
        }
        if (!connection->http_) {
            Search search{printer};
            cupsEnumDests(CUPS_DEST_FLAGS_NONE, kSearchMilliseconds, nullptr, 0, 0, matchName,
                          &search);
            if (!search.found) {
                error = "no printer called \"" + printer +
                        "\" (morvane printers lists them; is CUPS running?)";
                return nullptr;
            }
            connection->http_ =
                cupsConnectDest(search.found, CUPS_DEST_FLAGS_DEVICE, kTimeoutMilliseconds, nullptr,
                                resource, sizeof resource, nullptr, nullptr);
            if (connection->http_)
                connection->printerUri_ = addressOf(connection->http_, resource);
            cupsFreeDests(1, search.found);
        }
        if (!connection->http_) {
            error = "cannot reach the printer \"" + printer + "\": " + cupsLastErrorString();
            return nullptr;
        }
        connection->resource_ = resource;
    }
    httpSetTimeout(connection->http_, kTimeoutSeconds, giveUp, nullptr);
    return connection;
}

ipp_t* PrinterConnection::newRequest(int operation) const {
    ipp_t* request = ippNewRequest(static_cast<ipp_op_t>(operation));
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 printerUri_.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 userName().c_str());
    return request;
}

ipp_t* PrinterConnection::send(ipp_t* request, std::string& error, const std::string& document) {
    ipp_t* answer = nullptr;
    if (document.empty()) {
        answer = cupsDoRequest(http_, request, resource_.c_str());
    } else {
        // Chunked: a stated length would have to count the request itself as well.
        http_status_t status =
            cupsSendRequest(http_, request, resource_.c_str(), CUPS_LENGTH_VARIABLE);
        // Large documents go in pieces so that a printer that stops reading is noticed.
        constexpr std::size_t kPiece = 64 * 1024;
        for (std::size_t done = 0; status == HTTP_STATUS_CONTINUE && done < document.size();
             done += kPiece)
            status = cupsWriteRequestData(http_, document.data() + done,
                                          std::min(kPiece, document.size() - done));
        ippDelete(request);
        if (status == HTTP_STATUS_CONTINUE)
            answer = cupsGetResponse(http_, resource_.c_str());
    }
    busy_ = cupsLastError() == IPP_STATUS_ERROR_BUSY ||
            (answer && ippGetStatusCode(answer) == IPP_STATUS_ERROR_BUSY);
    if (!answer || ippGetStatusCode(answer) > IPP_STATUS_OK_CONFLICTING) {
        error = cupsLastErrorString();
        if (error.empty())
            error = "the printer did not answer";
        ippDelete(answer);
        return nullptr;
    }
    return answer;
}

} // namespace platform
