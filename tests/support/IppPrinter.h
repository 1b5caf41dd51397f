#pragma once

#include <cups/raster.h>

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <netinet/in.h>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

// A real IPP Everywhere printer for the tests: ippeveprinter on a free loopback port, in
// colour, keeping every document it is sent in a spool folder of its own. It announces
// itself over DNS-SD and will not start without a responder; where none runs, the system
// message bus and avahi-daemon are started for the test and stopped after it.
class IppPrinter {
public:
    IppPrinter() {
        std::string pattern = (std::filesystem::temp_directory_path() / "morvane-ipp-XXXXXX");
        if (char* made = mkdtemp(pattern.data()))
            spool_ = made;
        if (spool_.empty()) {
            why_ = "no temporary folder for the printer's spool";
            return;
        }
        if (!haveProgram("ippeveprinter")) {
            why_ = "ippeveprinter is not installed (Debian: cups-ipp-utils)";
            return;
        }
        if (!startResponder())
            return;
        start();
    }
    ~IppPrinter() {
        stop();
        std::error_code ignored;
        std::filesystem::remove_all(spool_, ignored);
    }
    IppPrinter(const IppPrinter&) = delete;
    IppPrinter& operator=(const IppPrinter&) = delete;

    // Empty when the printer runs; else why it could not be started, for GTEST_SKIP.
    const std::string& whyNot() const { return why_; }
    std::string address() const {
        return "ipp://127.0.0.1:" + std::to_string(port_) + "/ipp/print";
    }
    // The name the printer announces itself by (DNS-SD service name, as CUPS lists it).
    const std::string& name() const { return name_; }

    // Ends the printer as a switched-off one would be: the address no longer answers.
    void stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            ::waitpid(pid_, &status, 0);
            pid_ = 0;
        }
    }

    // The documents kept so far, oldest first (ippeveprinter numbers its jobs from 1).
    std::vector<std::filesystem::path> documents() const {
        std::vector<std::filesystem::path> files;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(spool_, error))
            if (entry.path().extension() == ".pwg" || entry.path().extension() == ".jpg")
                files.push_back(entry.path());
        std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
            return std::stoi(a.filename().string()) < std::stoi(b.filename().string());
        });
        return files;
    }
    // Waits (real time) until `count` documents are kept whole.
    bool waitForDocuments(std::size_t count, double seconds = 20) const {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < end) {
            if (documents().size() >= count)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    // One page of a PWG raster document, as 8-bit RGB rows (grey pages widened).
    struct Page {
        int width = 0;
        int height = 0;
        int dotsPerInch = 0;
        std::string media;
        std::vector<std::uint8_t> rgb;
        const std::uint8_t* at(int x, int y) const {
            return rgb.data() + (std::size_t(y) * width + x) * 3;
        }
    };
    static std::optional<Page> readPwg(const std::filesystem::path& file) {
        const int fd = ::open(file.c_str(), O_RDONLY);
        if (fd < 0)
            return std::nullopt;
        cups_raster_t* raster = cupsRasterOpen(fd, CUPS_RASTER_READ);
        cups_page_header2_t header;
        std::optional<Page> page;
        if (raster && cupsRasterReadHeader2(raster, &header) && header.cupsBitsPerColor == 8 &&
            (header.cupsBitsPerPixel == 24 || header.cupsBitsPerPixel == 8)) {
            Page read;
            read.width = int(header.cupsWidth);
            read.height = int(header.cupsHeight);
            read.dotsPerInch = int(header.HWResolution[0]);
            read.media = header.cupsPageSizeName;
            std::vector<unsigned char> row(header.cupsBytesPerLine);
            read.rgb.resize(std::size_t(read.width) * read.height * 3);
            const bool grey = header.cupsBitsPerPixel == 8;
            bool whole = true;
            for (int y = 0; whole && y < read.height; ++y) {
                whole = cupsRasterReadPixels(raster, row.data(), header.cupsBytesPerLine) ==
                        header.cupsBytesPerLine;
                for (int x = 0; whole && x < read.width; ++x)
                    for (int c = 0; c < 3; ++c)
                        read.rgb[(std::size_t(y) * read.width + x) * 3 + c] =
                            grey ? row[x] : row[3 * x + c];
            }
            if (whole)
                page = std::move(read);
        }
        if (raster)
            cupsRasterClose(raster);
        ::close(fd);
        return page;
    }

private:
    static int run(const std::string& command) { return std::system(command.c_str()); }
    static bool haveProgram(const std::string& name) {
        return run("command -v " + name + " >/dev/null 2>&1") == 0;
    }

    static constexpr const char* kBusSocket = "/run/dbus/system_bus_socket";
    static bool busAnswers() {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, kBusSocket, sizeof address.sun_path - 1);
        const bool open = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        return open;
    }

    // The DNS-SD responder, started once for the test program where none runs and stopped
    // when the program ends.
    struct Responder {
        std::string why;
        pid_t bus = 0;
        bool avahi = false;
        Responder() {
            if (run("avahi-daemon --check >/dev/null 2>&1") == 0)
                return;
            if (!haveProgram("avahi-daemon")) {
                why = "no DNS-SD responder runs and avahi-daemon is not installed";
                return;
            }
            if (!busAnswers()) {
                if (!haveProgram("dbus-daemon")) {
                    why = "no system message bus for avahi-daemon, and no dbus-daemon";
                    return;
                }
                // What a bus that ended without cleaning up left would stop a new one.
                std::error_code ignored;
                std::filesystem::create_directories("/run/dbus", ignored);
                std::filesystem::remove(kBusSocket, ignored);
                std::filesystem::remove("/run/dbus/pid", ignored);
                const auto pidFile = std::filesystem::temp_directory_path() /
                                     ("morvane-bus-" + std::to_string(::getpid()));
                if (run("dbus-daemon --system --fork --print-pid > " + pidFile.string() +
                        " 2>/dev/null") != 0) {
                    why = "the system message bus would not start (dbus-daemon --system)";
                    return;
                }
                std::ifstream(pidFile) >> bus;
                std::filesystem::remove(pidFile, ignored);
            }
            if (run("avahi-daemon --no-drop-root --no-chroot -D >/dev/null 2>&1") != 0 &&
                run("avahi-daemon --check >/dev/null 2>&1") != 0) {
                why = "avahi-daemon would not start; ippeveprinter needs a DNS-SD responder";
                return;
            }
            avahi = true;
            for (int i = 0; i < 50 && run("avahi-daemon --check >/dev/null 2>&1") != 0; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        ~Responder() {
            if (avahi)
                run("avahi-daemon -k >/dev/null 2>&1");
            if (bus > 0) {
                ::kill(bus, SIGTERM);
                std::error_code ignored;
                std::filesystem::remove(kBusSocket, ignored);
                std::filesystem::remove("/run/dbus/pid", ignored);
            }
        }
    };
    bool startResponder() {
        static Responder responder;
        why_ = responder.why;
        return why_.empty();
    }

    static int freePort() {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        int port = 0;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
            port = ntohs(address.sin_port);
        ::close(fd);
        return port;
    }
    bool answers() const {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port_));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const bool open = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        return open;
    }

    void start() {
        port_ = freePort();
        name_ = "Morvane Test " + std::to_string(::getpid()) + "-" + std::to_string(port_);
        const std::string log = (spool_ / "printer.log").string();
        const std::string folder = spool_.string();
        const std::string port = std::to_string(port_);
        pid_ = ::fork();
        if (pid_ == 0) {
            const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(out, STDOUT_FILENO);
            ::dup2(out, STDERR_FILENO);
            // Colour (a colour speed), documents kept.
            ::execlp("ippeveprinter", "ippeveprinter", "-p", port.c_str(), "-d", folder.c_str(),
                     "-k", "-s", "10,10", name_.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        for (int i = 0; i < 100; ++i) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = 0;
                std::ifstream in(log);
                const std::string said{std::istreambuf_iterator<char>(in), {}};
                why_ = "ippeveprinter stopped at its start: " + said.substr(0, 200);
                return;
            }
            if (answers())
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        why_ = "ippeveprinter did not answer on port " + port;
        stop();
    }

    std::filesystem::path spool_;
    std::string why_;
    std::string name_;
    int port_ = 0;
    pid_t pid_ = 0;
};
